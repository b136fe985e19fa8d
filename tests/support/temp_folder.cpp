#include "support/temp_folder.h"

#include <windows.h>

#include <atomic>

#include "win/unique.h"
#include "win/wide.h"

namespace test_support {

namespace {

std::wstring Wide(const std::string& path) { return win::Widen(path); }

}  // namespace

TempFolder::TempFolder() {
  static std::atomic<unsigned> counter{0};
  const std::string base = "C:\\launcher-tests";
  CreateDirectoryW(Wide(base).c_str(), nullptr);
  m_path = base + "\\" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(counter++) + "-" + std::to_string(GetTickCount());
  CreateDirectoryW(Wide(m_path).c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(m_path); }

std::string TempFolder::Join(std::string_view name) const {
  return m_path + "\\" + std::string(name);
}

void TempFolder::WriteFile(std::string_view name, std::string_view bytes) const {
  WriteWholeFile(Join(name), bytes);
}

std::string TempFolder::ReadFile(std::string_view name) const { return ReadWholeFile(Join(name)); }

bool TempFolder::Exists(std::string_view name) const {
  return GetFileAttributesW(Wide(Join(name)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void TempFolder::MakeFolder(std::string_view name) const {
  CreateDirectoryW(Wide(Join(name)).c_str(), nullptr);
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
  win::UniqueFile file(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   nullptr) &&
         written == bytes.size();
}

std::string ReadWholeFile(const std::string& path) {
  win::UniqueFile file(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return {};
  std::string content;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    content.append(buffer, read);
  }
  return content;
}

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAW entry{};
  win::UniqueFind search(FindFirstFileW(Wide(path + "\\*").c_str(), &entry));
  if (search) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::string child = path + "\\" + win::Narrow(name);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesW(Wide(child).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(Wide(child).c_str());
      }
    } while (FindNextFileW(search.get(), &entry));
  }
  search.reset();
  RemoveDirectoryW(Wide(path).c_str());
}

}  // namespace test_support
