// klxr-log-cli export LOG.tlg OUT.csv: the CSV file of a log, byte for byte as the program exports
// it.
#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/exit_status.h"
#include "log/log_files.h"

namespace klxr::cli {

int RunExport(const std::vector<std::string>& arguments, CliContext& context) {
  const ParsedArguments parsed = ParseArguments(arguments, {}, {"LOG.tlg", "OUT.csv"});
  if (!parsed.error.empty()) {
    return ReportUsageError(context, "export", parsed.error);
  }
  LogImage image;
  const int count = LoadCountedLog(parsed.operands[0], image, context.boxes);
  if (count == 0) {
    return kExitFailure;
  }
  if (ExportCsv(image, parsed.operands[1], count, context.boxes, false) != 0) {
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace klxr::cli
