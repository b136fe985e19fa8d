#include "launcher/window_controls.h"

#include <commctrl.h>

#include <string>

#include "win/wide.h"

namespace launcher {

void SetControlText(HWND control, std::string_view value) {
  const std::wstring wide = win::Widen(value);
  SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

text::Text ControlText(HWND control) {
  const LRESULT length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied = SendMessageW(control, WM_GETTEXT, static_cast<WPARAM>(wide.size()),
                                      reinterpret_cast<LPARAM>(wide.data()));
  wide.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return win::Narrow(wide);
}

void EnableControl(HWND control, bool enabled) { EnableWindow(control, enabled ? TRUE : FALSE); }

bool ControlIsEnabled(HWND control) { return IsWindowEnabled(control) != FALSE; }

void SetProgressMaximum(HWND progressBar, std::int32_t maximum) {
  SendMessageW(progressBar, PBM_SETRANGE32, 0, static_cast<LPARAM>(maximum));
}

void SetProgressPosition(HWND progressBar, std::int32_t position) {
  SendMessageW(progressBar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

std::int32_t ProgressMaximum(HWND progressBar) {
  return static_cast<std::int32_t>(SendMessageW(progressBar, PBM_GETRANGE, FALSE, 0));
}

std::int32_t ProgressPosition(HWND progressBar) {
  return static_cast<std::int32_t>(SendMessageW(progressBar, PBM_GETPOS, 0, 0));
}

std::int32_t ListRowCount(HWND listView) {
  return static_cast<std::int32_t>(SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0));
}

std::int32_t AppendListRow(HWND listView, const std::vector<text::Text>& columns) {
  std::wstring first = columns.empty() ? std::wstring() : win::Widen(columns.front());
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = ListRowCount(listView);
  item.pszText = first.data();
  const auto row = static_cast<std::int32_t>(
      SendMessageW(listView, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (row < 0) return -1;
  for (size_t column = 1; column < columns.size(); ++column) {
    SetListItemText(listView, row, static_cast<std::int32_t>(column), columns[column]);
  }
  return row;
}

text::Text ListItemText(HWND listView, std::int32_t row, std::int32_t column) {
  // LVM_GETITEMTEXT returns the characters copied; a full buffer may mean a
  // longer text, so grow until it fits.
  for (size_t capacity = 256; capacity <= (size_t{1} << 20); capacity *= 4) {
    std::wstring buffer(capacity, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(capacity);
    const LRESULT copied = SendMessageW(listView, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                        reinterpret_cast<LPARAM>(&item));
    if (copied <= 0) return {};
    if (static_cast<size_t>(copied) < capacity - 1) {
      buffer.resize(static_cast<size_t>(copied));
      return win::Narrow(buffer);
    }
  }
  return {};
}

void SetListItemText(HWND listView, std::int32_t row, std::int32_t column, std::string_view value) {
  std::wstring wide = win::Widen(value);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = wide.data();
  SendMessageW(listView, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace launcher
