// One conversation of the program run twice: on the virtual meter's own driver table (in-process,
// virtual clock) and through the open driver, libftdi1 and libusb against emulated adapters with
// the same meters behind them. Each run gives what the program showed and kept and what went over
// the wire, so a test can require both runs to agree and then check what they did.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/com_access.h"
#include "link/download_window.h"
#include "link/meter_link.h"
#include "log/log_image.h"
#include "support/recording_message_boxes.h"
#include "support/recording_window.h"
#include "tests/open-driver/emulated_usb_bus.h"
#include "virtual-meter/bus_config.h"

namespace klxr::emulation {

using testing::RecordedBox;
using testing::RecordingMessageBoxes;
using testing::RecordingWindow;

// One adapter as both runs see it.
struct AdapterSpec {
  vm::EepromContents eeprom = vm::MeterLeadEeprom();
  bool inUseElsewhere = false;
  std::optional<vm::MeterConfig> meter = vm::MeterConfig{};
  int vanishAfterReplies = -1;  // -1: never unplugged
};

// How the program waits for the meter in a run; a way of waiting is one more row of the tests'
// tables. Both runs of a twin use it: the virtual meter's own table offers the optional functions
// exactly when the mode is fast, and each run checks that the link uses the mode it means.
struct WaitingMode {
  const char* name;
  TransferMode transfer;
};
std::vector<WaitingMode> WaitingModes();

// A clock for the link that moves only when the program pauses or the harness lets time pass, so
// that a conversation's limits (durations in fast transfer) do not depend on the machine's speed.
class CountedClock {
 public:
  // The clock's time and its sleep function, valid while the clock lives.
  ClockFunction Now() {
    return [this] { return micros_; };
  }
  SleepFunction Sleep() {
    return [this](std::uint32_t ms) { micros_ += std::int64_t{ms} * 1000; };
  }
  // Makes the link's clock and sleep function this clock's.
  void Drive(MeterLink& link) {
    link.Now = Now();
    link.Sleep = Sleep();
  }

 private:
  std::int64_t micros_ = 0;
};

struct RunOutcome {
  std::vector<std::string> wire;  // the adapters' wire logs, one after another
  std::vector<RecordedBox> boxes;
  LogImage image;
  std::vector<std::string> windowEvents;
  std::vector<std::string> meters;  // what the device list collected
};

// The program's side of a conversation: runs it on the link and its window.
using ConversationAction = std::function<void(MeterLink&, RecordingWindow&, RunOutcome&)>;

RunOutcome RunOnVirtualMeter(const std::vector<AdapterSpec>& adapters, const WaitingMode& mode,
                             const ConversationAction& action);

// Runs against emulated adapters; `inspect`, when given, sees the bus after the conversation.
RunOutcome RunOnOpenDriver(const std::vector<AdapterSpec>& adapters, const WaitingMode& mode,
                           const ConversationAction& action,
                           const std::function<void(EmulatedUsbBus&)>& inspect = {});

// Ticks the download timer until it stops (at most maxTicks), letting the timer's period pass on
// the link's clock between two ticks: the link's sleep function only moves the run's clock.
void RunDownloadTimer(MeterLink& link, RecordingWindow& window, int maxTicks = 40000);

}  // namespace klxr::emulation
