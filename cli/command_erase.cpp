// klxr-log-cli erase [--yes]: erases the log stored in the meter on device 0 through the same
// conversation as the program's Erase Log command, after the same question.
#include "cli/arguments.h"
#include "cli/exit_status.h"
#include "cli/meter_commands.h"
#include "link/com_access.h"
#include "link/log_erase.h"

namespace klxr::cli {

int EraseCommand(const std::vector<std::string>& arguments, CliContext& context,
                 const MeterConnection& connection) {
  const ParsedArguments parsed = ParseArguments(arguments, {"--yes"}, {});
  if (!parsed.error.empty()) {
    return ReportUsageError(context, "erase", parsed.error);
  }
  if (connection.driver == nullptr) {
    return ReportMissingDriver(context, connection);
  }
  if (parsed.options.count("--yes") == 0 &&
      AskQuestion(context.boxes, msg::kConfirmErase) != Answer::Yes) {
    return kExitFailure;
  }
  LogImage image;
  NotingMessageBoxes boxes(context.boxes);
  ComAccess port(*connection.driver);
  MeterLink link(image, boxes);
  link.DriverLibrary = connection.driver;
  link.SharedPort = &port;
  link.Sleep = connection.sleep;
  link.Now = connection.now;
  link.Transfer = connection.transfer;
  EraseMeterLog(link, nullptr);
  if (!boxes.Shown(msg::kLogErased)) {
    if (!boxes.Shown(msg::kHandshakeNotReceived) && !boxes.Shown(msg::kUsbPortError) &&
        !boxes.Shown(msg::kDeviceUpgraded)) {
      context.err << "klxr-log-cli erase: the meter did not confirm the erase\n";
    }
    return kExitFailure;
  }
  return kExitOk;
}

int RunErase(const std::vector<std::string>& arguments, CliContext& context) {
  return RunWithLoadedDriver(EraseCommand, arguments, context);
}

}  // namespace klxr::cli
