// klxr-log-cli export LOG.tlg OUT.csv: the CSV file of a log, byte for byte as the program exports
// it. "-" reads the log from standard input or writes the CSV to standard output.
#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/exit_status.h"
#include "cli/file_operands.h"
#include "log/log_files.h"

namespace klxr::cli {

int RunExport(const std::vector<std::string>& arguments, CliContext& context) {
  const ParsedArguments parsed = ParseArguments(arguments, {}, {"LOG.tlg", "OUT.csv"});
  if (!parsed.error.empty()) {
    return ReportUsageError(context, "export", parsed.error);
  }
  const std::string& log = parsed.operands[0];
  const std::string& csv = parsed.operands[1];
  if (RefuseSameFiles(context, "export", {{log, "LOG.tlg", false}, {csv, "OUT.csv", true}}) !=
      kExitOk) {
    return kExitUsage;
  }
  LogImage image;
  const int count = LoadCountedLog(log, image, context.boxes);
  if (count == 0) {
    return kExitFailure;
  }
  if (IsStandardStream(csv)) {
    return WriteToOutput(context, MakeCsvText(image, count)) ? kExitOk : kExitFailure;
  }
  if (ExportCsv(image, csv, count, context.boxes, false) != 0) {
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace klxr::cli
