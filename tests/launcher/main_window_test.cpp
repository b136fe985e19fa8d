#include "launcher/main_window.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "launcher/window_controls.h"
#include "launcher_test_helpers.h"
#include "win/wide.h"

namespace launcher {
namespace {

struct ControlExpectation {
  HWND MainWindowControls::*handle;
  const char* name;
  const wchar_t* windowClass;
  int left, top, width, height;
  const char* text;
};

// The form, in pixels at 96 DPI.
const ControlExpectation kForm[] = {
    {&MainWindowControls::超级列表框1, "超级列表框1", WC_LISTVIEWW, 8, 8, 392, 88, ""},
    {&MainWindowControls::进度条1, "进度条1", PROGRESS_CLASSW, 8, 104, 392, 16, ""},
    {&MainWindowControls::进度条2, "进度条2", PROGRESS_CLASSW, 8, 128, 392, 16, ""},
    {&MainWindowControls::标签3, "标签3", WC_STATICW, 8, 160, 64, 24, "文件大小："},
    {&MainWindowControls::编辑框_文件大小, "编辑框_文件大小", WC_EDITW, 64, 160, 56, 24, ""},
    {&MainWindowControls::标签4, "标签4", WC_STATICW, 120, 160, 64, 24, "下载速度："},
    {&MainWindowControls::编辑框_下载速度, "编辑框_下载速度", WC_EDITW, 184, 160, 88, 24, ""},
    {&MainWindowControls::标签5, "标签5", WC_STATICW, 280, 160, 48, 24, "已下载："},
    {&MainWindowControls::编辑框_已下载, "编辑框_已下载", WC_EDITW, 328, 160, 64, 24, ""},
    {&MainWindowControls::标签_状态, "标签_状态", WC_STATICW, 16, 240, 384, 24, "就绪"},
    {&MainWindowControls::标签2, "标签2", WC_STATICW, 18, 268, 38, 24, "存到:"},
    {&MainWindowControls::编辑框_存到, "编辑框_存到", WC_EDITW, 56, 268, 342, 24, "D:\\我的文件.zip"},
    {&MainWindowControls::按钮_下载, "按钮_下载", WC_BUTTONW, 72, 328, 128, 28, "下载"},
    {&MainWindowControls::按钮_停止, "按钮_停止", WC_BUTTONW, 224, 328, 128, 28, "停止"},
    {&MainWindowControls::标签1, "标签1", WC_STATICW, 10, 384, 38, 24, "地址:"},
    {&MainWindowControls::编辑框_地址, "编辑框_地址", WC_EDITW, 48, 384, 342, 24, nullptr},
};

struct ColumnExpectation {
  const char* title;
  int width;
};
const ColumnExpectation kColumns[] = {
    {"序号", 50}, {"文件名", 100}, {"效验值", 110}, {"url", 0}, {"是否更新", 115},
};

std::wstring ClassName(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    // The second process of the DPI test is system DPI aware, as the
    // launcher's manifest makes the launcher.
    if (std::getenv("LAUNCHER_EXPECT_DPI")) SetProcessDPIAware();
    ASSERT_TRUE(m_window.Create());
  }
  int Scale(int formPixels) const { return MulDiv(formPixels, m_window.dpi(), 96); }

  MainWindow m_window{{.runDirectory = "C:\\软件", .quitWhenDestroyed = false}};
};

// Run at 96 DPI by default, and in a second process at 144 DPI (below), where
// every form pixel is one and a half.
TEST_F(MainWindowTest, IsBuiltHiddenAsTheFormGivesIt) {
  if (const char* expected = std::getenv("LAUNCHER_EXPECT_DPI")) {
    EXPECT_EQ(m_window.dpi(), std::atoi(expected));
  }
  const HWND hwnd = m_window.hwnd();
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(ControlText(hwnd), "软件启动");
  EXPECT_EQ(m_window.RunDirectory(), "C:\\软件");

  RECT outer{};
  GetWindowRect(hwnd, &outer);
  EXPECT_EQ(outer.left, Scale(50));
  EXPECT_EQ(outer.top, Scale(50));
  EXPECT_EQ(outer.right - outer.left, Scale(414));
  EXPECT_EQ(outer.bottom - outer.top, Scale(225));

  for (const ControlExpectation& form : kForm) {
    SCOPED_TRACE(form.name);
    const HWND control = m_window.controls().*form.handle;
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetParent(control), hwnd);
    EXPECT_EQ(ClassName(control), form.windowClass);
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(HWND_DESKTOP, hwnd, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, Scale(form.left));
    EXPECT_EQ(place.top, Scale(form.top));
    EXPECT_EQ(place.right - place.left, Scale(form.width));
    EXPECT_EQ(place.bottom - place.top, Scale(form.height));
    if (form.text) {
      EXPECT_EQ(ControlText(control), form.text);
    }

    // The font grows with the DPI too.
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW logFont{};
    GetObjectW(font, sizeof(logFont), &logFont);
    EXPECT_EQ(logFont.lfHeight, -MulDiv(9, m_window.dpi(), 72));
  }
  EXPECT_FALSE(ControlText(m_window.controls().编辑框_地址).empty());
}

// The form's font must draw Chinese and Latin alike, also where the system's
// own message font cannot (an English system, Wine's Tahoma).
TEST_F(MainWindowTest, FontDrawsChineseAndLatinTexts) {
  const HWND list = m_window.controls().超级列表框1;
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  const HDC dc = GetDC(list);
  const HGDIOBJ previous = SelectObject(dc, font);
  const std::wstring sample = win::Widen("软件启动 文件大小：下载速度 readme.txt 0123456789");
  std::vector<WORD> glyphs(sample.size());
  const DWORD converted = GetGlyphIndicesW(dc, sample.c_str(), static_cast<int>(sample.size()),
                                           glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
  SelectObject(dc, previous);
  ReleaseDC(list, dc);
  ASSERT_EQ(converted, sample.size());
  for (size_t i = 0; i < sample.size(); ++i) {
    EXPECT_NE(glyphs[i], 0xFFFF) << "no glyph for U+" << std::hex << static_cast<int>(sample[i]);
  }
}

TEST_F(MainWindowTest, ProgressBarsRunToTenThousand) {
  for (HWND bar : {m_window.controls().进度条1, m_window.controls().进度条2}) {
    PBRANGE range{};
    SendMessageW(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 10000);
    EXPECT_EQ(ProgressPosition(bar), 0);
  }
}

TEST_F(MainWindowTest, ListViewIsAReportWithTheFiveColumnHeaders) {
  const HWND list = m_window.controls().超级列表框1;
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(list, GWL_STYLE));
  EXPECT_EQ(style & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
  EXPECT_EQ(style & LVS_NOCOLUMNHEADER, 0u);
  const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 5);
  int index = 0;
  for (const ColumnExpectation& expected : kColumns) {
    wchar_t title[64] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = title;
    column.cchTextMax = 64;
    ASSERT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
    EXPECT_EQ(win::Narrow(title), expected.title);
    EXPECT_EQ(column.cx, Scale(expected.width)) << expected.title;
    ++index;
  }
  EXPECT_EQ(ListRowCount(list), 0);
}

// The update worker changes the controls from its own thread while the GUI
// thread runs its message loop, and ends by destroying the window.
TEST_F(MainWindowTest, AnotherThreadReachesEveryControlAndDestroysTheWindow) {
  struct Seen {
    int rows = 0;
    std::string secondName, status, target;
    int maximum = 0, position = 0;
    bool addressEnabled = true;
  } seen;
  EXPECT_TRUE(launcher_test::RunBesideTheGuiThread([&] {
    const MainWindowControls& c = m_window.controls();
    AppendListRow(c.超级列表框1, {"1", "a.dll", "md5a", "http://h/a", ""});
    AppendListRow(c.超级列表框1, {"2", "软件\\b.dll", "md5b", "http://h/b", ""});
    SetListItemText(c.超级列表框1, 1, kColumnStatus, "文件效验正确");
    seen.rows = ListRowCount(c.超级列表框1);
    seen.secondName = ListItemText(c.超级列表框1, 1, kColumnFileName);
    seen.status = ListItemText(c.超级列表框1, 1, kColumnStatus);
    SetProgressMaximum(c.进度条2, 2);
    SetProgressPosition(c.进度条2, 2);
    seen.maximum = ProgressMaximum(c.进度条2);
    seen.position = ProgressPosition(c.进度条2);
    SetControlText(c.编辑框_存到, m_window.RunDirectory() + "\\a.dll");
    EnableControl(c.编辑框_地址, false);
    seen.target = ControlText(c.编辑框_存到);
    seen.addressEnabled = ControlIsEnabled(c.编辑框_地址);
    m_window.Destroy();
  }));
  EXPECT_EQ(seen.rows, 2);
  EXPECT_EQ(seen.secondName, "软件\\b.dll");
  EXPECT_EQ(seen.status, "文件效验正确");
  EXPECT_EQ(seen.maximum, 2);
  EXPECT_EQ(seen.position, 2);
  EXPECT_EQ(seen.target, "C:\\软件\\a.dll");
  EXPECT_FALSE(seen.addressEnabled);
  EXPECT_FALSE(m_window.Exists());
}

TEST_F(MainWindowTest, LongItemTextsComeBackWhole) {
  const HWND list = m_window.controls().超级列表框1;
  const std::string longUrl = "http://127.0.0.1/" + std::string(3000, 'x') + "软件";
  ASSERT_EQ(AppendListRow(list, {"1", "a", "b", longUrl, ""}), 0);
  EXPECT_EQ(ListItemText(list, 0, kColumnUrl), longUrl);
}

// Wine takes the system DPI from the registry when a process starts, so the
// form is checked at 150 % in a second run of this program.
TEST(MainWindowDpi, FormScalesWithTheSystemDpi) {
  if (std::getenv("LAUNCHER_EXPECT_DPI")) GTEST_SKIP() << "inside the 144 DPI run";
  HKEY desktop = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                          &desktop),
            ERROR_SUCCESS);
  DWORD previous = 0;
  DWORD size = sizeof(previous);
  const bool hadValue = RegQueryValueExW(desktop, L"LogPixels", nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(&previous), &size) == ERROR_SUCCESS;
  const DWORD dpi = 144;
  RegSetValueExW(desktop, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));

  SetEnvironmentVariableW(L"LAUNCHER_EXPECT_DPI", L"144");
  const test_support::StartedProgram run =
      test_support::StartProgram(test_support::BesideTestExecutable("launcher_tests.exe"),
                                 "--gtest_filter=MainWindowTest.IsBuiltHiddenAsTheFormGivesIt");
  SetEnvironmentVariableW(L"LAUNCHER_EXPECT_DPI", nullptr);
  const std::optional<DWORD> exitCode =
      run ? test_support::WaitForExit(run.process.get(), 120000) : std::nullopt;

  if (hadValue) {
    RegSetValueExW(desktop, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&previous),
                   sizeof(previous));
  } else {
    RegDeleteValueW(desktop, L"LogPixels");
  }
  RegCloseKey(desktop);
  ASSERT_TRUE(run);
  EXPECT_EQ(exitCode, std::optional<DWORD>(0)) << "the form's geometry is wrong at 144 DPI";
}

}  // namespace
}  // namespace launcher
