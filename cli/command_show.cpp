// klxr-log-cli show LOG.tlg [--dbuv] [--header]: the records of a log ("-": read from standard
// input), one display line each, as the log viewer lists them. On a terminal that shows UTF-8 the
// log's Latin-1 names are converted; anywhere else the bytes go out as the log holds them.
#include <cerrno>

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/exit_status.h"
#include "cli/file_operands.h"
#include "log/record_format.h"
#include "log/record_lines.h"

namespace klxr::cli {

int RunShow(const std::vector<std::string>& arguments, CliContext& context) {
  const ParsedArguments parsed = ParseArguments(arguments, {"--dbuv", "--header"}, {"LOG.tlg"});
  if (!parsed.error.empty()) {
    return ReportUsageError(context, "show", parsed.error);
  }
  LogImage image;
  const int count = LoadCountedLog(parsed.operands[0], image, context.boxes);
  if (count == 0) {
    return kExitFailure;
  }
  const bool dbuv = parsed.options.count("--dbuv") != 0;
  if (parsed.options.count("--header") != 0) {
    context.out << DisplayHeadingLine(dbuv) << '\n';
  }
  if (!PrintDisplayLines(image, count, dbuv ? kUnitsDbuv : kUnitsDbm, context.out,
                         context.outIsUtf8Terminal)) {
    return ReportOutputFailure(context, errno);
  }
  return kExitOk;
}

}  // namespace klxr::cli
