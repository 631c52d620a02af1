// The log viewer's context menu item "Report (.pdf)...": the report of the log in the units the
// list shows, saved where the user chooses (through the viewer's saveReport callback).
#pragma once

#include <windows.h>

#include <functional>

#include "desktop/desktop_shell.h"
#include "desktop/win32/log_viewer_dialog.h"

namespace klxr::win32 {

// The item's command, clear of the dialog's control ids.
inline constexpr UINT kViewerReportCommand = 0x7E01;

// Appends "Report (.pdf)..." to a menu of the viewer; greyed when the viewer has no saveReport.
void AppendReportItem(HMENU menu, const LogViewerCallbacks& callbacks);

// What the item does: hands the viewer and the units shown ("Show dBuV") to saveReport.
void RunReportItem(HWND viewer, const LogViewerCallbacks& callbacks);

// The shell's file chooser, as SaveLogReport asks for the report's file.
using ReportChooser =
    std::function<bool(ChooserRequest& request, const ChooserCommand& command, MessageBoxes&)>;

// The report of the context's log in dBuV or dBm, dated as the log was got, saved to the .pdf file
// the user chooses; a build without the report says it has none.
void SaveLogReport(const LogViewerContext& context, bool dbuv, const ReportChooser& choose);

}  // namespace klxr::win32
