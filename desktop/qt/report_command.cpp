#include "desktop/qt/report_command.h"

#include "desktop/qt/run_file_chooser.h"
#include "report/report_file.h"

namespace klxr {

void SaveLogReport(const LogViewerContext& context, std::uint8_t units, QWidget* owner) {
  if (!RunFileChooser(context.chooser, kSaveReportChooser, owner, context.boxes)) {
    return;
  }
  report::ReportOptions options;
  options.units = units;
  options.logReadFromMeter = context.origin.readFromMeter;
  options.logFileTime = context.origin.fileTime;
  report::SaveReport(context.image, options, context.chooser.ChosenPath, context.boxes,
                     context.quietMode);
}

}  // namespace klxr
