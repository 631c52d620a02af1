// klxr-log-cli show LOG.tlg [--dbuv]: the records of a log, one display line each, as the log
// viewer lists them.
#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/exit_status.h"
#include "log/record_format.h"

namespace klxr::cli {

int RunShow(const std::vector<std::string>& arguments, CliContext& context) {
  const ParsedArguments parsed = ParseArguments(arguments, {"--dbuv"}, {"LOG.tlg"});
  if (!parsed.error.empty()) {
    return ReportUsageError(context, "show", parsed.error);
  }
  LogImage image;
  if (!LoadLogForCommand(parsed.operands[0], image, context.boxes)) {
    return kExitFailure;
  }
  const int count = CountRecords(image, nullptr);
  if (count == 0) {
    ShowMessage(context.boxes, msg::kNoLoggingData, BoxKind::Error);
    return kExitFailure;
  }
  const std::uint8_t units = parsed.options.count("--dbuv") != 0 ? kUnitsDbuv : kUnitsDbm;
  DecodedEntry entry;
  std::string listing;
  for (int index = 0; index < count; ++index) {
    FormatRecord(image, index, entry, units);
    listing += entry.DisplayLine;
    listing += '\n';
  }
  context.out.write(listing.data(), static_cast<std::streamsize>(listing.size()));
  context.out.flush();
  return context.out ? kExitOk : kExitFailure;
}

}  // namespace klxr::cli
