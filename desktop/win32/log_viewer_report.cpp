#include "desktop/win32/log_viewer_report.h"

#include "desktop/chooser_command.h"
#include "resources/dialog_templates.h"

#ifdef KLXR_HAVE_REPORT
#include "report/report_file.h"
#endif

namespace klxr::win32 {

void AppendReportItem(HMENU menu, const LogViewerCallbacks& callbacks) {
  AppendMenuA(menu, MF_STRING | (callbacks.saveReport ? MF_ENABLED : MF_GRAYED),
              kViewerReportCommand, "Report (.pdf)...");
}

void RunReportItem(HWND viewer, const LogViewerCallbacks& callbacks) {
  if (callbacks.saveReport) {
    callbacks.saveReport(viewer, IsDlgButtonChecked(viewer, ctl::kViewerShowDbuv) == BST_CHECKED);
  }
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
