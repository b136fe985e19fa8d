#include "launcher/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>
#include <utility>

#include "launcher/window_controls.h"
#include "win/wide.h"

namespace launcher {
namespace {

constexpr wchar_t kWindowClass[] = L"LauncherMainWindow";

// Private messages of the main window.
enum PrivateMessage : UINT {
  kDestroyRequest = WM_APP + 1,  // another thread asks the GUI thread to destroy the window
};

// The form, in form pixels (96 DPI); places are within the client area.
constexpr char kTitle[] = "软件启动";
constexpr int kLeft = 50, kTop = 50, kOuterWidth = 414, kOuterHeight = 225;
constexpr int kProgressRange = 10000;
constexpr int kFontPoints = 9;

enum class Kind { ListView, ProgressBar, Label, Edit, Button };

struct ControlForm {
  HWND MainWindowControls::*handle;
  Kind kind;
  int left, top, width, height;
  const char* initialText;
};

const ControlForm kControlForms[] = {
    {&MainWindowControls::超级列表框1, Kind::ListView, 8, 8, 392, 88, ""},
    {&MainWindowControls::进度条1, Kind::ProgressBar, 8, 104, 392, 16, ""},
    {&MainWindowControls::进度条2, Kind::ProgressBar, 8, 128, 392, 16, ""},
    {&MainWindowControls::标签3, Kind::Label, 8, 160, 64, 24, "文件大小："},
    {&MainWindowControls::编辑框_文件大小, Kind::Edit, 64, 160, 56, 24, ""},
    {&MainWindowControls::标签4, Kind::Label, 120, 160, 64, 24, "下载速度："},
    {&MainWindowControls::编辑框_下载速度, Kind::Edit, 184, 160, 88, 24, ""},
    {&MainWindowControls::标签5, Kind::Label, 280, 160, 48, 24, "已下载："},
    {&MainWindowControls::编辑框_已下载, Kind::Edit, 328, 160, 64, 24, ""},
    {&MainWindowControls::标签_状态, Kind::Label, 16, 240, 384, 24, "就绪"},
    {&MainWindowControls::标签2, Kind::Label, 18, 268, 38, 24, "存到:"},
    {&MainWindowControls::编辑框_存到, Kind::Edit, 56, 268, 342, 24, "D:\\我的文件.zip"},
    {&MainWindowControls::按钮_下载, Kind::Button, 72, 328, 128, 28, "下载"},
    {&MainWindowControls::按钮_停止, Kind::Button, 224, 328, 128, 28, "停止"},
    {&MainWindowControls::标签1, Kind::Label, 10, 384, 38, 24, "地址:"},
    {&MainWindowControls::编辑框_地址, Kind::Edit, 48, 384, 342, 24,
     "http://www.example.com/download/file.zip"},
};

struct ColumnForm {
  const char* title;
  int width;
};

const ColumnForm kColumnForms[] = {
    {"序号", 50}, {"文件名", 100}, {"效验值", 110}, {"url", 0}, {"是否更新", 115},
};

struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD exStyle;
};

ControlClass ClassOf(Kind kind) {
  switch (kind) {
    case Kind::ListView:
      return {WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL, WS_EX_CLIENTEDGE};
    case Kind::ProgressBar: return {PROGRESS_CLASSW, 0, 0};
    case Kind::Label: return {WC_STATICW, SS_LEFT | SS_CENTERIMAGE, 0};
    case Kind::Edit: return {WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case Kind::Button: return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 0};
  }
  return {WC_STATICW, 0, 0};
}

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  if (!screen) return 96;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

int CALLBACK NoteChineseFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM faces) {
  // "@" faces are the vertical-writing variants.
  if (font->lfFaceName[0] != L'@') {
    reinterpret_cast<std::vector<std::wstring>*>(faces)->push_back(font->lfFaceName);
  }
  return 1;
}

// Faces that claim code page 936, as the system enumerates them.
std::vector<std::wstring> ChineseFaces(HDC screen) {
  std::vector<std::wstring> faces;
  LOGFONTW query{};
  query.lfCharSet = GB2312_CHARSET;
  EnumFontFamiliesExW(screen, &query, NoteChineseFace, reinterpret_cast<LPARAM>(&faces), 0);
  return faces;
}

// Whether `face` has glyphs for Latin letters, digits and Chinese alike:
// some CJK fallback faces lack Latin glyphs.
bool DrawsFormTexts(HDC screen, const LOGFONTW& base, const std::wstring& face) {
  LOGFONTW font = base;
  lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
  font.lfCharSet = GB2312_CHARSET;
  const HFONT probe = CreateFontIndirectW(&font);
  if (!probe) return false;
  const HGDIOBJ previous = SelectObject(screen, probe);
  const wchar_t sample[] = L"Aa1.\u8f6f\u4ef6";  // "Aa1.软件"
  WORD glyphs[ARRAYSIZE(sample) - 1] = {};
  const DWORD found =
      GetGlyphIndicesW(screen, sample, ARRAYSIZE(sample) - 1, glyphs, GGI_MARK_NONEXISTING_GLYPHS);
  SelectObject(screen, previous);
  DeleteObject(probe);
  return found == ARRAYSIZE(sample) - 1 &&
         std::find(std::begin(glyphs), std::end(glyphs), WORD{0xFFFF}) == std::end(glyphs);
}

// The system's message font when it can draw Chinese; otherwise a face that
// can (an English Windows' Segoe UI cannot, nor Wine's Tahoma), preferring
// the usual Chinese UI faces. The form's point size, at this DPI.
HFONT CreateFormFont(int dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  LOGFONTW font{};
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    font = metrics.lfMessageFont;
  } else {
    lstrcpynW(font.lfFaceName, L"MS Shell Dlg 2", LF_FACESIZE);
  }
  if (HDC screen = GetDC(nullptr)) {
    std::vector<std::wstring> faces = ChineseFaces(screen);
    if (std::find(faces.begin(), faces.end(), font.lfFaceName) == faces.end()) {
      faces.insert(faces.begin(), {L"Microsoft YaHei UI", L"Microsoft YaHei", L"SimSun"});
      for (const std::wstring& face : faces) {
        if (DrawsFormTexts(screen, font, face)) {
          lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
          font.lfCharSet = GB2312_CHARSET;
          break;
        }
      }
    }
    ReleaseDC(nullptr, screen);
  }
  font.lfHeight = -MulDiv(kFontPoints, dpi, 72);
  font.lfWidth = 0;
  return CreateFontIndirectW(&font);
}

bool RegisterWindowClass(WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(GetModuleHandleW(nullptr), kWindowClass, &existing)) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  return RegisterClassExW(&windowClass) != 0;
}

}  // namespace

MainWindow::MainWindow(MainWindowOptions options) : m_options(std::move(options)) {}

MainWindow::~MainWindow() {
  if (Exists()) DestroyWindow(m_hwnd);
}

bool MainWindow::Create() {
  INITCOMMONCONTROLSEX commonControls{};
  commonControls.dwSize = sizeof(commonControls);
  commonControls.dwICC = ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&commonControls);
  if (!RegisterWindowClass(&MainWindow::WindowProcedure)) return false;

  m_dpi = SystemDpi();
  const std::wstring title = win::Widen(kTitle);
  // No WS_VISIBLE: the window is not to be seen during the start-up checks.
  const HWND created = CreateWindowExW(
      0, kWindowClass, title.c_str(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
      Scale(kLeft), Scale(kTop), Scale(kOuterWidth), Scale(kOuterHeight), nullptr, nullptr,
      GetModuleHandleW(nullptr), this);
  return created != nullptr;
}

int MainWindow::Scale(int formPixels) const { return MulDiv(formPixels, m_dpi, 96); }

void MainWindow::CreateControls() {
  m_font = CreateFormFont(m_dpi);
  int id = 1000;
  for (const ControlForm& form : kControlForms) {
    const ControlClass controlClass = ClassOf(form.kind);
    const std::wstring initialText = win::Widen(form.initialText);
    const HWND control = CreateWindowExW(
        controlClass.exStyle, controlClass.name, initialText.c_str(),
        WS_CHILD | WS_VISIBLE | controlClass.style, Scale(form.left), Scale(form.top),
        Scale(form.width), Scale(form.height), m_hwnd,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), GetModuleHandleW(nullptr), nullptr);
    m_controls.*form.handle = control;
    if (control && m_font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
  }

  for (HWND bar : {m_controls.进度条1, m_controls.进度条2}) SetProgressMaximum(bar, kProgressRange);

  const HWND list = m_controls.超级列表框1;
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
               LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  int index = 0;
  for (const ColumnForm& form : kColumnForms) {
    std::wstring title = win::Widen(form.title);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = title.data();
    column.cx = Scale(form.width);
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
    ++index;
  }
}

net::ProgressControls MainWindow::DownloadProgressControls() const {
  return {.fileSize = m_controls.编辑框_文件大小,
          .speed = m_controls.编辑框_下载速度,
          .downloaded = m_controls.编辑框_已下载,
          .progressBar = m_controls.进度条1};
}

void MainWindow::Show() { ShowWindow(m_hwnd, SW_SHOW); }

void MainWindow::Hide() { ShowWindow(m_hwnd, SW_HIDE); }

bool MainWindow::IsVisible() const { return Exists() && IsWindowVisible(m_hwnd); }

bool MainWindow::Exists() const { return m_hwnd && IsWindow(m_hwnd); }

void MainWindow::Destroy() {
  if (!Exists()) return;
  if (GetWindowThreadProcessId(m_hwnd, nullptr) == GetCurrentThreadId()) {
    DestroyWindow(m_hwnd);
  } else {
    SendMessageW(m_hwnd, kDestroyRequest, 0, 0);
  }
}

LRESULT CALLBACK MainWindow::WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* window = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    window->m_hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  auto* window = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!window) return DefWindowProcW(hwnd, message, wParam, lParam);
  return window->HandleMessage(message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateControls();
      return 0;
    case kDestroyRequest:
      DestroyWindow(m_hwnd);
      return 0;
    case WM_DESTROY:
      if (m_options.quitWhenDestroyed) PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
      if (m_font) DeleteObject(m_font);
      m_font = nullptr;
      return DefWindowProcW(m_hwnd, message, wParam, lParam);
    default:
      return DefWindowProcW(m_hwnd, message, wParam, lParam);
  }
}

}  // namespace launcher
