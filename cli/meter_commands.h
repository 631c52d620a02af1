// What the commands that talk to a meter (read, erase, list, adapter) share: the driver library
// loaded as the desktop program loads it at start-up (the vendor's, or the file named by
// KLXR_D2XX_LIBRARY, such as the virtual meter), the program's pauses, and message boxes that note
// which messages were shown, since a conversation tells its outcome only through them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_command.h"
#include "cli/interrupt.h"
#include "cli/option_values.h"
#include "link/d2xx_api.h"
#include "link/meter_link.h"
#include "link/pause.h"
#include "resources/message_catalogue.h"

namespace klxr::cli {

// How a command reaches the meters.
struct MeterConnection {
  const d2xx::D2xxFunctions* driver = nullptr;  // null: no driver library could be loaded
  std::string driverProblem;  // then: the files tried, why each failed, and what to do
  SleepFunction sleep = SleepMilliseconds;
  // The clock the progress and the summary of a read are timed with.
  std::function<std::int64_t()> clock = SteadyMicroseconds;
  // Asked between the steps of a read: true when the user wants it stopped (Ctrl-C).
  std::function<bool()> stopRequested = InterruptRequested;
  ClockFunction now = SteadyMicroseconds;
  // Fast unless --paced was given; paced all the same when the driver lacks the functions.
  TransferMode transfer = TransferMode::kFast;
};

// Takes --paced out of the arguments, wherever it stands; true when it was there.
bool TakePacedOption(std::vector<std::string>& arguments);

// A meter command, run with its arguments on a connection; returns the exit status.
using MeterCommandFunction = int (*)(const std::vector<std::string>& arguments, CliContext& context,
                                     const MeterConnection& connection);

// Loads the driver library and runs the command on it (the library stays loaded until it ends).
int RunWithLoadedDriver(MeterCommandFunction command, const std::vector<std::string>& arguments,
                        CliContext& context);

// The device index a command works on: 0 without "--device", else the device it names. Nothing
// when that device does not exist; the reason was written to standard error.
std::optional<std::int32_t> PickDevice(const OptionValues& options,
                                       const d2xx::D2xxFunctions& driver, CliContext& context,
                                       std::string_view command);

// Writes why the driver library could not be loaded to standard error.
void ReportDriverProblem(CliContext& context, const MeterConnection& connection);

// What the desktop program says when it finds no driver library at start-up ("Warning, can't load
// USB driver ..."), followed by the files tried, why, and what to do; returns the exit status of a
// command that needs the driver.
int ReportMissingDriver(CliContext& context, const MeterConnection& connection);

// The commands, on a given connection (tests give the in-process virtual meter's).
int ReadCommand(const std::vector<std::string>& arguments, CliContext& context,
                const MeterConnection& connection);
int EraseCommand(const std::vector<std::string>& arguments, CliContext& context,
                 const MeterConnection& connection);
int ListCommand(const std::vector<std::string>& arguments, CliContext& context,
                const MeterConnection& connection);
int AdapterCommand(const std::vector<std::string>& arguments, CliContext& context,
                   const MeterConnection& connection);

// Forwards every box to the terminal's boxes and notes the catalogue entries shown.
class NotingMessageBoxes : public MessageBoxes {
 public:
  explicit NotingMessageBoxes(MessageBoxes& terminal) : terminal_(terminal) {}
  void Show(int index, std::string_view text, BoxKind kind) override;
  void ShowDetailed(int index, std::string_view text, BoxKind kind,
                    std::string_view detail) override;
  Answer Ask(int index, std::string_view text) override;
  bool Shown(int index) const { return shown_.count(index) != 0; }

 protected:
  // Called before each box appears.
  virtual void BeforeBox() {}

 private:
  MessageBoxes& terminal_;
  std::set<int> shown_;
};

}  // namespace klxr::cli
