// MainWindow: the launcher's one window, built from its form. It is created
// hidden; the start-up sequence decides whether it is ever shown.
//
// Another thread (the update worker) reaches every control by its form name
// through controls(), and the run directory through RunDirectory(); the
// operations of window_controls.h act on those handles from any thread.
#pragma once

#include <windows.h>

#include "net/download_progress.h"
#include "text/text.h"

namespace launcher {

// The form's controls, named as in the form. Controls placed below the
// window's height exist but are never seen; only 编辑框_存到 and 编辑框_地址
// among them are used, to hand a transfer's target and address over.
struct MainWindowControls {
  HWND 超级列表框1 = nullptr;  // one row per outdated file, five columns
  HWND 进度条1 = nullptr;      // progress of the current file, 0 to 10000
  HWND 进度条2 = nullptr;      // progress over all rows
  HWND 标签3 = nullptr;
  HWND 编辑框_文件大小 = nullptr;
  HWND 标签4 = nullptr;
  HWND 编辑框_下载速度 = nullptr;
  HWND 标签5 = nullptr;
  HWND 编辑框_已下载 = nullptr;
  HWND 标签_状态 = nullptr;
  HWND 标签2 = nullptr;
  HWND 编辑框_存到 = nullptr;
  HWND 按钮_下载 = nullptr;
  HWND 按钮_停止 = nullptr;
  HWND 标签1 = nullptr;
  HWND 编辑框_地址 = nullptr;
};

// Columns of 超级列表框1.
enum ListColumn : int {
  kColumnNumber = 0,    // "序号": row number, "1" for the first row
  kColumnFileName = 1,  // "文件名": urlname
  kColumnDigest = 2,    // "效验值": urlmd5
  kColumnUrl = 3,       // "url": download address, zero width
  kColumnStatus = 4,    // "是否更新": status text of the worker
};

struct MainWindowOptions {
  text::Text runDirectory;  // no trailing backslash
  // The program ends with its window (WM_QUIT on destruction). Tests that
  // create windows on their own thread turn this off.
  bool quitWhenDestroyed = true;
};

class MainWindow {
 public:
  explicit MainWindow(MainWindowOptions options);
  // Destroys the window if it still exists; call on the creating thread.
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and every control of the form, hidden, on the
  // calling thread, which becomes the GUI thread. False on failure.
  [[nodiscard]] bool Create();

  HWND hwnd() const { return m_hwnd; }
  const MainWindowControls& controls() const { return m_controls; }
  const text::Text& RunDirectory() const { return m_options.runDirectory; }
  // The system DPI the form was scaled for (96 is 100 %).
  int dpi() const { return m_dpi; }
  // 进度条1 and the three edit boxes that show a download.
  net::ProgressControls DownloadProgressControls() const;

  void Show();
  void Hide();
  bool IsVisible() const;
  bool Exists() const;
  // Destroys the window from any thread: from another thread the GUI thread
  // is asked to do it, and it is done when this returns.
  void Destroy();

 private:
  static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  int Scale(int formPixels) const;

  MainWindowOptions m_options;
  HWND m_hwnd = nullptr;
  HFONT m_font = nullptr;
  int m_dpi = 96;
  MainWindowControls m_controls;
};

}  // namespace launcher
