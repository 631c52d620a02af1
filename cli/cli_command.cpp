#include "cli/cli_command.h"

#include "cli/exit_status.h"
#include "log/log_files.h"

namespace klxr::cli {

int ReportUsageError(CliContext& context, std::string_view command, std::string_view error) {
  context.err << "klxr-log-cli " << command << ": " << error << "\n"
              << "Try 'klxr-log-cli help " << command << "'.\n";
  return kExitUsage;
}

bool LoadLogForCommand(const std::string& path, LogImage& image, MessageBoxes& boxes) {
  return LoadLogFile(image, path, nullptr, boxes, false) == 0;
}

}  // namespace klxr::cli
