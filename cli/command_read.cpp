// klxr-log-cli read [--out LOG.tlg] [--csv OUT.csv]: reads the whole log from the meter on device 0
// through the same download conversation as the program's Read command, with the progress on the
// terminal, then saves it, exports it, or prints its records.
#include <optional>

#include "cli/arguments.h"
#include "cli/exit_status.h"
#include "cli/option_values.h"
#include "cli/terminal_download_window.h"
#include "link/com_access.h"
#include "link/log_download.h"
#include "log/log_files.h"
#include "log/record_format.h"

namespace klxr::cli {
namespace {

// Saves, exports or prints the log that was read; returns the exit status.
int DeliverLog(const LogImage& image, const OptionValues& options, CliContext& context) {
  const int count = CountRecords(image, nullptr);
  const auto out = options.values.find("--out");
  const auto csv = options.values.find("--csv");
  if (out != options.values.end() && SaveLogFile(image, out->second, context.boxes, false) != 0) {
    return kExitFailure;
  }
  if (csv != options.values.end()) {
    if (CountRecordsOrReport(image, context.boxes) == 0 ||
        ExportCsv(image, csv->second, count, context.boxes, false) != 0) {
      return kExitFailure;
    }
  }
  if (out == options.values.end() && csv == options.values.end()) {
    return PrintDisplayLines(image, count, kUnitsDbm, context.out) ? kExitOk : kExitFailure;
  }
  return kExitOk;
}

}  // namespace

int ReadCommand(const std::vector<std::string>& arguments, CliContext& context,
                const MeterConnection& connection) {
  const OptionValues options = TakeOptionValues(arguments, {"--out", "--csv"});
  const ParsedArguments parsed =
      options.error.empty() ? ParseArguments(options.rest, {}, {}) : ParsedArguments{};
  if (!options.error.empty() || !parsed.error.empty()) {
    return ReportUsageError(context, "read", options.error.empty() ? parsed.error : options.error);
  }
  if (connection.driver == nullptr) {
    ReportDriverProblem(context, connection);
  }

  LogImage image;
  ProgressLine line(context.err);
  ProgressMessageBoxes boxes(context.boxes, line);
  MeterLink link(image, boxes);
  link.DriverLibrary = connection.driver;
  link.Sleep = connection.sleep;
  link.Now = connection.now;
  link.Transfer = connection.transfer;
  std::optional<ComAccess> port;
  if (connection.driver != nullptr) {
    link.SharedPort = &port.emplace(*connection.driver);
  }
  TerminalDownloadWindow window(link.Download, line);
  StartDownload(link, &window);
  RunDownloadTimer(link, window);
  line.End();
  if (!boxes.Shown(msg::kTransferComplete)) {
    return kExitFailure;
  }
  return DeliverLog(image, options, context);
}

int RunRead(const std::vector<std::string>& arguments, CliContext& context) {
  return RunWithLoadedDriver(ReadCommand, arguments, context);
}

}  // namespace klxr::cli
