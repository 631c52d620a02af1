#include "cli/meter_commands.h"

#include <algorithm>
#include <memory>

#include "cli/device_choice.h"
#include "cli/exit_status.h"
#include "link/driver_library.h"
#include "link/driver_messages.h"

namespace klxr::cli {

bool TakePacedOption(std::vector<std::string>& arguments) {
  const auto end = std::remove(arguments.begin(), arguments.end(), std::string("--paced"));
  const bool found = end != arguments.end();
  arguments.erase(end, arguments.end());
  return found;
}

int RunWithLoadedDriver(MeterCommandFunction command, const std::vector<std::string>& given,
                        CliContext& context) {
  std::vector<std::string> arguments = given;
  DriverLoadDiagnosis diagnosis;
  const std::unique_ptr<DriverLibrary> library = DriverLibrary::Load(&diagnosis);
  MeterConnection connection;
  if (library != nullptr) {
    connection.driver = &library->Functions();
    connection.transfer = TakePacedOption(arguments) ? TransferMode::kPaced : TransferMode::kFast;
    const bool converses = command != AdapterCommand;
    if (converses && connection.transfer == TransferMode::kFast &&
        !d2xx::HasFastTransferFunctions(*connection.driver)) {
      context.err << "klxr-log-cli: the driver library lacks FT_GetQueueStatus, "
                     "FT_SetLatencyTimer or FT_GetLatencyTimer; transferring paced\n";
    }
  } else {
    TakePacedOption(arguments);
    connection.driverProblem = LibraryProblemText(diagnosis);
  }
  return command(arguments, context, connection);
}

std::optional<std::int32_t> PickDevice(const OptionValues& options,
                                       const d2xx::D2xxFunctions& driver, CliContext& context,
                                       std::string_view command) {
  const auto device = options.values.find("--device");
  if (device == options.values.end()) {
    return 0;
  }
  const DeviceChoice choice = ChooseDevice(driver, device->second);
  if (!choice.error.empty()) {
    context.err << "klxr-log-cli " << command << ": " << choice.error << "\n";
    return std::nullopt;
  }
  return choice.index;
}

void ReportDriverProblem(CliContext& context, const MeterConnection& connection) {
  context.err << "klxr-log-cli: " << connection.driverProblem << "\n";
}

int ReportMissingDriver(CliContext& context, const MeterConnection& connection) {
  ShowMessage(context.boxes, msg::kCantLoadUsbDriver, BoxKind::Information,
              connection.driverProblem);
  return kExitFailure;
}

void NotingMessageBoxes::Show(int index, std::string_view text, BoxKind kind) {
  BeforeBox();
  shown_.insert(index);
  terminal_.Show(index, text, kind);
}

void NotingMessageBoxes::ShowDetailed(int index, std::string_view text, BoxKind kind,
                                      std::string_view detail) {
  BeforeBox();
  shown_.insert(index);
  terminal_.ShowDetailed(index, text, kind, detail);
}

Answer NotingMessageBoxes::Ask(int index, std::string_view text) {
  BeforeBox();
  shown_.insert(index);
  return terminal_.Ask(index, text);
}

}  // namespace klxr::cli
