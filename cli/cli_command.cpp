#include "cli/cli_command.h"

#include <cstdio>

#include "cli/exit_status.h"
#include "cli/terminal_text.h"
#include "log/log_files.h"
#include "log/record_format.h"

namespace klxr::cli {

int ReportUsageError(CliContext& context, std::string_view command, std::string_view error) {
  // A subcommand ("history show") is explained in its command's help.
  context.err << "klxr-log-cli " << command << ": " << error << "\n"
              << "Try 'klxr-log-cli help " << command.substr(0, command.find(' ')) << "'.\n";
  return kExitUsage;
}

int LoadCountedLog(const std::string& path, LogImage& image, MessageBoxes& boxes) {
  const int loaded = path == "-" ? LoadLogStream(image, stdin, nullptr, boxes, false)
                                 : LoadLogFile(image, path, nullptr, boxes, false);
  if (loaded != 0) {
    return 0;
  }
  return CountRecordsOrReport(image, boxes);
}

int CountRecordsOrReport(const LogImage& image, MessageBoxes& boxes) {
  const int count = CountRecords(image, nullptr);
  if (count == 0) {
    ShowMessage(boxes, msg::kNoLoggingData, BoxKind::Error);
  }
  return count;
}

bool PrintDisplayLines(const LogImage& image, int count, std::uint8_t units, std::ostream& out,
                       bool utf8) {
  DecodedEntry entry;
  std::string listing;
  for (int index = 0; index < count; ++index) {
    FormatRecord(image, index, entry, units);
    listing += TextForOutput(entry.DisplayLine, utf8);
    listing += '\n';
  }
  out.write(listing.data(), static_cast<std::streamsize>(listing.size()));
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace klxr::cli
