// klxr-log-cli adapter [--fix] [--device N|SERIAL]: the adapter EEPROM check, shown setting by
// setting: the adapter's value of each setting the meter link needs, the value the check requires,
// and whether they differ. With --fix a differing adapter is re-programmed as the Read command
// would.
#include <array>
#include <string>

#include "cli/arguments.h"
#include "cli/exit_status.h"
#include "cli/meter_commands.h"
#include "cli/option_values.h"
#include "link/com_access.h"
#include "link/driver_messages.h"
#include "link/meter_link.h"

namespace klxr::cli {
namespace {

using Description = std::array<char, d2xx::kDescriptionSize>;

struct SettingRow {
  const char* name;
  std::string adapter;
  std::string required;
};

std::string TextOf(const Description& description) {
  return "\"" +
         std::string(TextUpToZero(std::span(
             reinterpret_cast<const std::uint8_t*>(description.data()), description.size()))) +
         "\"";
}

std::array<SettingRow, 7> Rows(const d2xx::FT_PROGRAM_DATA& adapter,
                               const Description& adapterDescription,
                               const d2xx::FT_PROGRAM_DATA& required,
                               const Description& requiredDescription) {
  const auto number = [](int value) { return std::to_string(value); };
  return {{
      {"PnP", number(adapter.PnP), number(required.PnP)},
      {"SelfPowered", number(adapter.SelfPowered), number(required.SelfPowered)},
      {"InvertDTR", number(adapter.InvertDTR), number(required.InvertDTR)},
      {"InvertRXD", number(adapter.InvertRXD), number(required.InvertRXD)},
      {"InvertTXD", number(adapter.InvertTXD), number(required.InvertTXD)},
      {"Cbus4", number(adapter.Cbus4), number(required.Cbus4)},
      {"Description", TextOf(adapterDescription), TextOf(requiredDescription)},
  }};
}

std::string Padded(const std::string& text, std::size_t width) {
  return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

// One line of the table: the columns padded, no blanks at the end.
void PrintRow(const std::string& name, const std::string& adapter, const std::string& required,
              std::string_view verdict, std::ostream& out) {
  const std::string line =
      Padded(name, 13) + Padded(adapter, 24) + Padded(required, 24) + std::string(verdict);
  out << line.substr(0, line.find_last_not_of(' ') + 1) << "\n";
}

void PrintRows(const std::array<SettingRow, 7>& rows, std::ostream& out) {
  PrintRow("Setting", "Adapter", "Required", "", out);
  for (const SettingRow& row : rows) {
    PrintRow(row.name, row.adapter, row.required, row.adapter != row.required ? "differs" : "",
             out);
  }
}

// Re-programs the open adapter; returns the exit status.
int Reprogram(ComAccess& port, CliContext& context) {
  port.CheckEeprom(true);
  const d2xx::FT_STATUS status = port.Status;
  port.Close();
  if (status != d2xx::FT_OK) {
    context.err << "klxr-log-cli adapter: re-programming the adapter failed (driver status "
                << status << ")\n";
    return kExitFailure;
  }
  ShowMessage(context.boxes, msg::kDeviceUpgraded, BoxKind::Error);
  return kExitOk;
}

}  // namespace

int AdapterCommand(const std::vector<std::string>& arguments, CliContext& context,
                   const MeterConnection& connection) {
  const OptionValues options = TakeOptionValues(arguments, {"--device"});
  const ParsedArguments parsed =
      options.error.empty() ? ParseArguments(options.rest, {"--fix"}, {}) : ParsedArguments{};
  if (!options.error.empty() || !parsed.error.empty()) {
    return ReportUsageError(context, "adapter",
                            options.error.empty() ? parsed.error : options.error);
  }
  if (connection.driver == nullptr) {
    return ReportMissingDriver(context, connection);
  }
  const std::optional<std::int32_t> device =
      PickDevice(options, *connection.driver, context, "adapter");
  if (!device) {
    return kExitFailure;
  }
  ComAccess port(*connection.driver);
  if (const d2xx::FT_STATUS opened = port.Open(*device); opened != d2xx::FT_OK) {
    ShowMessage(context.boxes, msg::kUsbPortError, BoxKind::Error,
                LeadProblemText(*device, opened));
    return kExitFailure;
  }
  // The check leaves the block corrected: what the meter link requires. Reading it again with the
  // same request gives the adapter's own values beside it.
  port.CheckEeprom(false);
  d2xx::FT_STATUS status = port.Status;
  const d2xx::FT_PROGRAM_DATA required = port.ProgramData;
  const Description requiredDescription = port.DescriptionBuf;
  if (status == d2xx::FT_OK) {
    status = connection.driver->FT_EE_Read(port.Handle, &port.ProgramData);
  }
  if (status != d2xx::FT_OK) {
    port.Close();
    context.err << "klxr-log-cli adapter: cannot read the adapter's EEPROM (driver status "
                << status << ")\n";
    return kExitFailure;
  }
  PrintRows(Rows(port.ProgramData, port.DescriptionBuf, required, requiredDescription),
            context.out);
  if (port.EepromChanged == 0) {
    port.Close();
    context.out << "The adapter has every setting the meter link needs.\n";
    return kExitOk;
  }
  if (parsed.options.count("--fix") != 0) {
    return Reprogram(port, context);
  }
  port.Close();
  context.out << "The adapter differs from what the meter link needs; "
                 "'klxr-log-cli adapter --fix' re-programs it.\n";
  return kExitFailure;
}

int RunAdapter(const std::vector<std::string>& arguments, CliContext& context) {
  return RunWithLoadedDriver(AdapterCommand, arguments, context);
}

}  // namespace klxr::cli
