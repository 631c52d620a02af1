// "Log Entries", the log viewer, dialog 208: the log's display lines in a tabbed list under fixed
// column headings, with the power levels in dBm or, with "Show dBuV" ticked, in dBuV. Every opening
// starts in dBm, unticked. The lines and the export come from the owner, through callbacks.
//
// The viewer opens at its template's size and can grow from there: a sizing border and a maximise
// box are added as it opens, the list takes the extra room and the bottom row keeps its distances
// from the edges (desktop/log_viewer_layout.h). Its list selects several lines (Shift and Ctrl with
// a click or the arrows, Ctrl+A for all); Ctrl+C and the list's context menu copy them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace klxr::win32 {

struct LogViewerCallbacks {
  std::function<std::vector<std::string>(bool dbuv)> lines;  // the display lines, record order
  std::function<void(HWND viewer)> exportCsv;                // "Export (.csv)", over the viewer
  std::function<void(HWND viewer, bool dbuv)> saveReport{};  // "Report (.pdf)...", units shown
};

// The commands of the list's context menu, sent to the viewer as WM_COMMAND.
inline constexpr int kViewerCopyCommand = 40001;

// Empties the list, sets its tab stops (the list's column positions) and adds the lines in order.
void FillLogList(HWND viewer, const std::vector<std::string>& lines);

// What a click on "Show dBuV" does: the three unit labels read "dBuV" or "dBm" after the box's
// state, the list is filled afresh in that unit and the whole dialog is repainted.
void ApplyUnits(HWND viewer, const LogViewerCallbacks& callbacks);

// The list's context menu: "Copy" (Ctrl+C) and "Report (.pdf)...". The caller destroys it.
HMENU BuildListMenu(const LogViewerCallbacks& callbacks);

// The dialog procedure; the creation parameter is the LogViewerCallbacks, which must outlive it.
INT_PTR CALLBACK LogViewerProc(HWND viewer, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the viewer modally over its owner. Returns 1 for Close, 2 for Escape or the close box.
int RunLogViewer(HINSTANCE instance, HWND owner, const LogViewerCallbacks& callbacks);

}  // namespace klxr::win32
