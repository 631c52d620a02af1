// klxr-log-cli show LOG.tlg [--dbuv]: the records of a log ("-": read from standard input), one
// display line each, as the log viewer lists them.
#include <cerrno>

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/exit_status.h"
#include "cli/file_operands.h"
#include "log/record_format.h"

namespace klxr::cli {

int RunShow(const std::vector<std::string>& arguments, CliContext& context) {
  const ParsedArguments parsed = ParseArguments(arguments, {"--dbuv"}, {"LOG.tlg"});
  if (!parsed.error.empty()) {
    return ReportUsageError(context, "show", parsed.error);
  }
  LogImage image;
  const int count = LoadCountedLog(parsed.operands[0], image, context.boxes);
  if (count == 0) {
    return kExitFailure;
  }
  const std::uint8_t units = parsed.options.count("--dbuv") != 0 ? kUnitsDbuv : kUnitsDbm;
  if (!PrintDisplayLines(image, count, units, context.out)) {
    return ReportOutputFailure(context, errno);
  }
  return kExitOk;
}

}  // namespace klxr::cli
