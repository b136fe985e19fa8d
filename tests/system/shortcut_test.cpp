#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "system/shortcut.h"
#include "win/com.h"
#include "win/wide.h"

namespace {

using sys::CreateDesktopShortcut;
using sys::ShortcutOptions;
using test_support::TempFolder;

// A shortcut as the shell itself reads it back. The target comes from the
// item list (Wine keeps the plain path only in the ANSI code page), the show
// command and hot key from the file header (Wine's loader does not read the
// show command back).
struct ShortcutFile {
  std::string target;
  std::string workingDirectory;
  std::string iconPath;
  int iconIndex = -1;
  std::string arguments;
  std::string description;
  int showCommand = -1;
  WORD hotkey = 0xFFFF;
};

// Fields of the 76-byte shell link header.
constexpr size_t kShowCommandOffset = 60;
constexpr size_t kHotkeyOffset = 64;
constexpr size_t kHeaderSize = 76;

bool RunsOnWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::optional<ShortcutFile> ReadShortcut(const std::string& path) {
  win::ComScope com;
  win::ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.put_void()))) {
    return std::nullopt;
  }
  const auto file = link.As<IPersistFile>(IID_IPersistFile);
  if (!file || FAILED(file->Load(win::Widen(path).c_str(), STGM_READ))) return std::nullopt;
  ShortcutFile read;
  wchar_t buffer[1024] = {};
  PIDLIST_ABSOLUTE items = nullptr;
  if (SUCCEEDED(link->GetIDList(&items)) && items && SHGetPathFromIDListW(items, buffer)) {
    read.target = win::Narrow(buffer);
  }
  CoTaskMemFree(items);
  buffer[0] = 0;
  link->GetWorkingDirectory(buffer, 1024);
  read.workingDirectory = win::Narrow(buffer);
  buffer[0] = 0;
  link->GetIconLocation(buffer, 1024, &read.iconIndex);
  read.iconPath = win::Narrow(buffer);
  buffer[0] = 0;
  link->GetArguments(buffer, 1024);
  read.arguments = win::Narrow(buffer);
  buffer[0] = 0;
  link->GetDescription(buffer, 1024);
  read.description = win::Narrow(buffer);
  const std::string bytes = test_support::ReadWholeFile(path);
  if (bytes.size() < kHeaderSize) return std::nullopt;
  std::memcpy(&read.showCommand, bytes.data() + kShowCommandOffset, sizeof read.showCommand);
  std::memcpy(&read.hotkey, bytes.data() + kHotkeyOffset, sizeof read.hotkey);
  return read;
}

// Changes the description of a saved shortcut, as a user editing it would.
bool ChangeDescription(const std::string& path, const wchar_t* description) {
  win::ComScope com;
  win::ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.put_void()))) {
    return false;
  }
  const auto file = link.As<IPersistFile>(IID_IPersistFile);
  const std::wstring widePath = win::Widen(path);
  return file && SUCCEEDED(file->Load(widePath.c_str(), STGM_READWRITE)) &&
         SUCCEEDED(link->SetDescription(description)) &&
         SUCCEEDED(file->Save(widePath.c_str(), TRUE));
}

bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(win::Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Shortcuts go to the desktop of the test Wine prefix; every file a test
// names there is removed before and after it.
class ShortcutTest : public testing::Test {
 protected:
  void SetUp() override {
    m_desktop = sys::SpecialFolderPath();
    // Never a real user's desktop: the prefix's own user folder on drive C.
    ASSERT_EQ(m_desktop.rfind("C:\\users\\", 0), 0u) << m_desktop;
    ASSERT_EQ(m_desktop.back(), '\\');
  }
  ~ShortcutTest() override {
    for (const std::string& name : m_names) DeleteFileW(win::Widen(m_desktop + name).c_str());
  }

  // The desktop path of `name`, removed now and after the test.
  std::string OnDesktop(const std::string& name) {
    m_names.push_back(name);
    DeleteFileW(win::Widen(m_desktop + name).c_str());
    return m_desktop + name;
  }

  // A file of that name in the test folder, with the folders on the way.
  std::string MakeTarget(const std::string& relativePath) {
    const std::string path = m_folder.Join(relativePath);
    for (size_t slash = path.find('\\', m_folder.path().size() + 1); slash != std::string::npos;
         slash = path.find('\\', slash + 1)) {
      CreateDirectoryW(win::Widen(path.substr(0, slash)).c_str(), nullptr);
    }
    test_support::WriteWholeFile(path, "MZ");
    return path;
  }

  TempFolder m_folder;
  std::string m_desktop;

 private:
  std::vector<std::string> m_names;
};

TEST_F(ShortcutTest, LauncherShortcutWithDefaults) {
  const std::string target = MakeTarget("apps\\up\\setup.exe");
  const std::string shortcut = OnDesktop("setup.lnk");

  ASSERT_TRUE(CreateDesktopShortcut("setup", target));
  const auto read = ReadShortcut(shortcut);
  ASSERT_TRUE(read) << shortcut;
  EXPECT_EQ(read->target, target);
  EXPECT_EQ(read->workingDirectory, m_folder.Join("apps\\up\\"));
  EXPECT_EQ(read->iconPath, target);
  EXPECT_EQ(read->iconIndex, 0);
  EXPECT_EQ(read->arguments, "");
  EXPECT_EQ(read->description, "");
  EXPECT_EQ(read->showCommand, 0);
  EXPECT_EQ(read->hotkey, 0);
}

TEST_F(ShortcutTest, GivenOptionsAreWritten) {
  const std::string target = MakeTarget("\xC8\xED\xBC\xFE\\tool.exe");  // 软件\tool.exe
  const std::string shortcut = OnDesktop("\xC8\xED\xBC\xFE\xC6\xF4\xB6\xAF.lnk");  // 软件启动.lnk

  ShortcutOptions options{.arguments = "--fast \"two words\"",
                          .iconLocation = "C:\\windows\\system32\\shell32.dll,12",
                          .windowStyle = SW_SHOWMAXIMIZED,
                          .description = "软件启动",
                          .hotkey = "CTRL+ALT+F"};
  ASSERT_TRUE(CreateDesktopShortcut("软件启动", target, options));
  const auto read = ReadShortcut(shortcut);
  ASSERT_TRUE(read) << shortcut;
  EXPECT_EQ(read->target, target);
  EXPECT_EQ(read->workingDirectory, m_folder.Join("\xC8\xED\xBC\xFE\\"));
  EXPECT_EQ(read->arguments, "--fast \"two words\"");
  EXPECT_TRUE(read->iconPath == "C:\\windows\\system32\\shell32.dll") << read->iconPath;
  EXPECT_EQ(read->iconIndex, 12);
  EXPECT_EQ(read->showCommand, SW_SHOWMAXIMIZED);
  EXPECT_EQ(read->description, "软件启动");
  // Wine refuses the hot key write; the save happens all the same.
  EXPECT_EQ(read->hotkey, RunsOnWine() ? 0 : (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | 'F');
}

TEST_F(ShortcutTest, ShortcutFileNames) {
  const std::string target = MakeTarget("x\\tool.exe");
  struct Case {
    const char* shortcutName;
    const char* fileName;
  } const cases[] = {
      {"C:\\x\\tool.exe", "tool.lnk"},
      {"My.LNK", "My.LNK"},
      {"a.lnkx", "a.lnkx"},
      {"\xC8\xED\xBC\xFE", "\xC8\xED\xBC\xFE.lnk"},
  };
  for (const Case& c : cases) {
    const std::string shortcut = OnDesktop(c.fileName);
    const std::string appended = OnDesktop(std::string(c.fileName) + ".lnk");
    const bool created = CreateDesktopShortcut(c.shortcutName, target);
    EXPECT_FALSE(IsFile(appended)) << c.shortcutName;
    // Windows' WshShell refuses a shortcut path that does not end with .lnk
    // or .url; Wine's writes it.
    if (std::string(c.fileName).ends_with(".lnkx") && !RunsOnWine()) continue;
    EXPECT_TRUE(created) << c.shortcutName;
    EXPECT_TRUE(IsFile(shortcut)) << c.shortcutName;
  }
}

TEST_F(ShortcutTest, TargetWithoutFolderDeletesTheOldShortcutAndMakesNone) {
  const std::string shortcut = OnDesktop("nofolder.lnk");
  ASSERT_TRUE(test_support::WriteWholeFile(shortcut, "old"));
  EXPECT_FALSE(CreateDesktopShortcut("nofolder", "setup.exe"));
  EXPECT_FALSE(IsFile(shortcut));
  EXPECT_FALSE(CreateDesktopShortcut("nofolder", ""));
  EXPECT_FALSE(IsFile(shortcut));
}

TEST_F(ShortcutTest, FolderTargetsGetTheFolderIcon) {
  m_folder.MakeFolder("docs");
  struct Case {
    std::string target;
    std::string workingDirectory;
  } const cases[] = {
      {m_folder.Join("docs"), m_folder.path() + "\\"},
      // The empty part after a trailing backslash does not count.
      {m_folder.Join("docs\\"), m_folder.path() + "\\"},
  };
  for (const Case& c : cases) {
    const std::string shortcut = OnDesktop("docs.lnk");
    ASSERT_TRUE(CreateDesktopShortcut("docs", c.target)) << c.target;
    const auto read = ReadShortcut(shortcut);
    ASSERT_TRUE(read) << c.target;
    EXPECT_EQ(read->workingDirectory, c.workingDirectory) << c.target;
    EXPECT_TRUE(read->iconPath == "SHELL32.dll" || read->iconPath.ends_with("\\shell32.dll"))
        << read->iconPath;
    EXPECT_EQ(read->iconIndex, 4) << c.target;
  }
}

TEST_F(ShortcutTest, SecondCallReplacesAChangedShortcut) {
  const std::string target = MakeTarget("again\\setup.exe");
  const std::string shortcut = OnDesktop("again.lnk");
  ASSERT_TRUE(CreateDesktopShortcut("again", target));
  ASSERT_TRUE(ChangeDescription(shortcut, L"changed by the user"));
  ASSERT_EQ(ReadShortcut(shortcut)->description, "changed by the user");

  ASSERT_TRUE(CreateDesktopShortcut("again", target));
  const auto read = ReadShortcut(shortcut);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->description, "");
  EXPECT_EQ(read->target, target);
}

}  // namespace
