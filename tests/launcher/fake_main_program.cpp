// Stands in for T.exe in the tests and the demo: writes its whole command
// line (UTF-16 as UTF-8) into command_line.txt beside itself, then ends.
#include <windows.h>

#include <string>

#include "win/unique.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  path = path.substr(0, path.find_last_of(L'\\') + 1) + L"command_line.txt";

  const wchar_t* commandLine = GetCommandLineW();
  const int wideLength = lstrlenW(commandLine);
  const int size = WideCharToMultiByte(CP_UTF8, 0, commandLine, wideLength, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, commandLine, wideLength, utf8.data(), size, nullptr, nullptr);

  // Written under another name and moved, so a reader never sees half a file.
  const std::wstring partial = path + L".part";
  {
    const win::UniqueFile file(CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 1;
    DWORD written = 0;
    WriteFile(file.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  }
  return MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
