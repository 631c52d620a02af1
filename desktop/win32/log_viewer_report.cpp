#include "desktop/win32/log_viewer_report.h"

#include "desktop/chooser_command.h"
#include "resources/dialog_templates.h"

#ifdef KLXR_HAVE_REPORT
#include "report/report_file.h"
#endif

namespace klxr::win32 {
namespace {

// Where a menu opened from the keyboard stands: under the list's current line, or its top left.
POINT KeyboardMenuPoint(HWND list) {
  RECT line{};
  const LRESULT current = SendMessageA(list, LB_GETCARETINDEX, 0, 0);
  if (current < 0 || SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(current),
                                  reinterpret_cast<LPARAM>(&line)) == LB_ERR) {
    line = {};
  }
  POINT point{line.left, line.bottom};
  ClientToScreen(list, &point);
  return point;
}

}  // namespace

void AppendReportItem(HMENU menu, const LogViewerCallbacks& callbacks) {
  AppendMenuA(menu, MF_STRING | (callbacks.saveReport ? MF_ENABLED : MF_GRAYED),
              kViewerReportCommand, "Report (.pdf)...");
}

void RunReportItem(HWND viewer, const LogViewerCallbacks& callbacks) {
  if (callbacks.saveReport) {
    callbacks.saveReport(viewer, IsDlgButtonChecked(viewer, ctl::kViewerShowDbuv) == BST_CHECKED);
  }
}

INT_PTR ShowLogViewerMenu(HWND viewer, HWND target, LPARAM point,
                          const LogViewerCallbacks& callbacks) {
  const HWND list = GetDlgItem(viewer, ctl::kViewerList);
  if (target != list) {
    return FALSE;
  }
  POINT at{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
  if (point == static_cast<LPARAM>(-1)) {
    at = KeyboardMenuPoint(list);
  }
  const HMENU menu = CreatePopupMenu();
  AppendReportItem(menu, callbacks);
  const UINT command = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, viewer, nullptr));
  DestroyMenu(menu);
  if (command == kViewerReportCommand) {
    RunReportItem(viewer, callbacks);
  }
  return TRUE;
}

void SaveLogReport(const LogViewerContext& context, bool dbuv, const ReportChooser& choose) {
#ifdef KLXR_HAVE_REPORT
  if (!choose(context.chooser, kSaveReportChooser, context.boxes)) {
    return;
  }
  report::ReportOptions options;
  options.units = dbuv ? kUnitsDbuv : kUnitsDbm;
  options.logReadFromMeter = context.origin.readFromMeter;
  options.logFileTime = context.origin.fileTime;
  report::SaveReport(context.image, options, context.chooser.ChosenPath, context.boxes,
                     context.quietMode);
#else
  (void)dbuv;
  (void)choose;
  context.boxes.Show(msg::kOwnText, "The PDF report is not available in this build.",
                     BoxKind::Information);
#endif
}

}  // namespace klxr::win32
