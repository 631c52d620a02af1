// klxr-log-cli list: the version text of every meter attached, sorted as the program's device list
// shows them (by text, case ignored; equal texts in device order), and their count.
#include <algorithm>
#include <cctype>

#include "cli/arguments.h"
#include "cli/exit_status.h"
#include "cli/meter_commands.h"
#include "link/meter_discovery.h"

namespace klxr::cli {
namespace {

bool SortsBefore(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) <
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

int ListCommand(const std::vector<std::string>& arguments, CliContext& context,
                const MeterConnection& connection) {
  const ParsedArguments parsed = ParseArguments(arguments, {}, {});
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
  CollectedMeters meters;
  const int count = DiscoverMeters(link, &meters);
  std::stable_sort(meters.texts.begin(), meters.texts.end(), SortsBefore);
  std::string listing;
  for (const std::string& text : meters.texts) {
    listing += text;
    listing += '\n';
  }
  listing += "Number of devices: " + std::to_string(count) + "\n";
  context.out.write(listing.data(), static_cast<std::streamsize>(listing.size()));
  context.out.flush();
  return context.out ? kExitOk : kExitFailure;
}

int RunList(const std::vector<std::string>& arguments, CliContext& context) {
  return RunWithLoadedDriver(ListCommand, arguments, context);
}

}  // namespace klxr::cli
