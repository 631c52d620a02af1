// klxr-log-cli list [--long]: the version text of every meter attached, sorted as the program's
// device list shows them (by text, case ignored; equal texts in device order), and their count.
// With --long every device has a line of its own, in index order, with what its adapter's EEPROM
// says and the meter's version text or why it is not listed. A lead that this user may not open is
// listed with that reason, and standard error says how to let the user open it.
#include <algorithm>
#include <cctype>

#include "cli/arguments.h"
#include "cli/device_choice.h"
#include "cli/exit_status.h"
#include "cli/file_operands.h"
#include "cli/meter_commands.h"
#include "link/driver_messages.h"
#include "link/meter_discovery.h"

namespace klxr::cli {
namespace {

bool SortsBefore(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) <
           std::tolower(static_cast<unsigned char>(y));
  });
}

std::string ReasonNotListed(DeviceAnswer answer) {
  switch (answer) {
    case DeviceAnswer::kCannotOpen:
      return "(in use)";
    case DeviceAnswer::kNotPermitted:
      return "(no permission)";
    case DeviceAnswer::kAdapterDiffers:
      return "(not a meter lead)";
    case DeviceAnswer::kSilent:
    case DeviceAnswer::kMeter:
      break;
  }
  return "(silent)";
}

// What a listing found: its text for standard output, and the devices this user may not open.
struct Listing {
  std::string text;
  std::vector<int> notPermitted;
};

// One line a device: "INDEX<tab>SERIAL<tab>DESCRIPTION<tab>VERSION or (reason)", then the count of
// meters. What cannot be read of an adapter that cannot be opened is "-".
Listing LongListing(const MeterLink& link) {
  const d2xx::D2xxFunctions& driver = *link.DriverLibrary;
  const std::int32_t devices = CountDevices(driver);
  Listing listing;
  int meters = 0;
  for (std::int32_t index = 0; index < devices; ++index) {
    const std::optional<AdapterIdentity> identity = ReadAdapterIdentity(driver, index);
    std::string version;
    const DeviceAnswer answer = AskDeviceForVersion(link, index, version);
    meters += answer == DeviceAnswer::kMeter ? 1 : 0;
    if (answer == DeviceAnswer::kNotPermitted) {
      listing.notPermitted.push_back(index);
    }
    listing.text += std::to_string(index) + "\t" + (identity ? identity->serialNumber : "-") +
                    "\t" + (identity ? identity->description : "-") + "\t" +
                    (answer == DeviceAnswer::kMeter ? version : ReasonNotListed(answer)) + "\n";
  }
  listing.text += "Number of devices: " + std::to_string(meters) + "\n";
  return listing;
}

// The version texts of the meters, sorted, a line for each lead this user may not open ("device
// N: (no permission)"), then the count of meters.
Listing ShortListing(const MeterLink& link) {
  CollectedMeters meters;
  const int count = DiscoverMeters(link, &meters);
  std::stable_sort(meters.texts.begin(), meters.texts.end(), SortsBefore);
  Listing listing;
  for (const std::string& text : meters.texts) {
    listing.text += text + "\n";
  }
  for (const int index : meters.notPermitted) {
    listing.text += "device " + std::to_string(index) + ": " +
                    ReasonNotListed(DeviceAnswer::kNotPermitted) + "\n";
  }
  listing.text += "Number of devices: " + std::to_string(count) + "\n";
  listing.notPermitted = std::move(meters.notPermitted);
  return listing;
}

}  // namespace

int ListCommand(const std::vector<std::string>& arguments, CliContext& context,
                const MeterConnection& connection) {
  const ParsedArguments parsed = ParseArguments(arguments, {"--long"}, {});
  if (!parsed.error.empty()) {
    return ReportUsageError(context, "list", parsed.error);
  }
  if (connection.driver == nullptr) {
    return ReportMissingDriver(context, connection);
  }
  LogImage image;
  MeterLink link(image, context.boxes);
  link.DriverLibrary = connection.driver;
  link.Sleep = connection.sleep;
  link.Now = connection.now;
  link.Transfer = connection.transfer;
  const Listing listing =
      parsed.options.count("--long") != 0 ? LongListing(link) : ShortListing(link);
  for (const int index : listing.notPermitted) {
    context.err << "klxr-log-cli list: " << LeadProblemText(index, d2xx::kOpenNotPermitted) << "\n";
  }
  return WriteToOutput(context, listing.text) ? kExitOk : kExitFailure;
}

int RunList(const std::vector<std::string>& arguments, CliContext& context) {
  return RunWithLoadedDriver(ListCommand, arguments, context);
}

}  // namespace klxr::cli
