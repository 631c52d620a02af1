// klxr-log-cli erase [--yes] [--device N|SERIAL]: erases the log stored in the meter through the
// same conversation as the program's Erase Log command, after the same question.
#include "cli/arguments.h"
#include "cli/exit_status.h"
#include "cli/meter_commands.h"
#include "cli/option_values.h"
#include "link/com_access.h"
#include "link/log_erase.h"

namespace klxr::cli {

int EraseCommand(const std::vector<std::string>& arguments, CliContext& context,
                 const MeterConnection& connection) {
  const OptionValues options = TakeOptionValues(arguments, {"--device"});
  const ParsedArguments parsed =
      options.error.empty() ? ParseArguments(options.rest, {"--yes"}, {}) : ParsedArguments{};
  if (!options.error.empty() || !parsed.error.empty()) {
    return ReportUsageError(context, "erase", options.error.empty() ? parsed.error : options.error);
  }
  if (connection.driver == nullptr) {
    return ReportMissingDriver(context, connection);
  }
  const std::optional<std::int32_t> device =
      PickDevice(options, *connection.driver, context, "erase");
  if (!device) {
    return kExitFailure;
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
  link.DeviceIndex = *device;
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
