#include "desktop/win32/report_command.h"

#include "desktop/win32/win32_shell.h"

namespace klxr::win32 {

void RunReportCommand(Win32Shell& /*shell*/, const LogViewerContext& context) {
  // This build draws no PDF: the user is told so rather than offered a chooser that leads nowhere.
  context.boxes.Show(msg::kOwnText, "The PDF report is not available in this build.",
                     BoxKind::Information);
}

}  // namespace klxr::win32
