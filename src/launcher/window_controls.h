// Operations on the main window's controls, each one message to the control.
// A message sent from another thread is carried out by the thread that owns
// the control and has taken effect when the call returns, so the update
// worker may call all of these directly. Texts are code-page-936.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "text/text.h"

namespace launcher {

// Edit boxes, labels, buttons, and the window caption.
void SetControlText(HWND control, std::string_view value);
text::Text ControlText(HWND control);
void EnableControl(HWND control, bool enabled);
bool ControlIsEnabled(HWND control);

// Progress bars (32-bit range, minimum 0).
void SetProgressMaximum(HWND progressBar, std::int32_t maximum);
void SetProgressPosition(HWND progressBar, std::int32_t position);
std::int32_t ProgressMaximum(HWND progressBar);
std::int32_t ProgressPosition(HWND progressBar);

// Report-style list views: rows and columns are 0-based.
std::int32_t ListRowCount(HWND listView);
// Appends a row with one text per column; the 0-based index of the new row,
// or -1 when the list refused it.
std::int32_t AppendListRow(HWND listView, const std::vector<text::Text>& columns);
text::Text ListItemText(HWND listView, std::int32_t row, std::int32_t column);
void SetListItemText(HWND listView, std::int32_t row, std::int32_t column, std::string_view value);

}  // namespace launcher
