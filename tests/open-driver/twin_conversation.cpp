#include "tests/open-driver/twin_conversation.h"

#include <gtest/gtest.h>

#include "link/driver_library.h"
#include "link/log_download.h"
#include "resources/command_ids.h"
#include "virtual-meter/transcript.h"
#include "virtual-meter/virtual_bus.h"

namespace klxr::emulation {
namespace {

vm::BusConfig VirtualConfig(const std::vector<AdapterSpec>& adapters) {
  vm::BusConfig config;
  config.clock = vm::ClockKind::kVirtual;
  for (const AdapterSpec& spec : adapters) {
    vm::AdapterConfig adapter;
    adapter.eeprom = spec.eeprom;
    adapter.inUseElsewhere = spec.inUseElsewhere;
    adapter.meter = spec.meter;
    if (spec.vanishAfterReplies >= 0) {
      adapter.vanish = {vm::VanishTrigger::kAfterReplies, spec.vanishAfterReplies, 0};
    }
    config.adapters.push_back(std::move(adapter));
  }
  return config;
}

std::vector<EmulatedAdapterConfig> EmulatedConfig(const std::vector<AdapterSpec>& adapters) {
  std::vector<EmulatedAdapterConfig> configs;
  for (const AdapterSpec& spec : adapters) {
    EmulatedAdapterConfig config;
    config.eeprom = BuildEepromImage(spec.eeprom);
    config.inUseElsewhere = spec.inUseElsewhere;
    config.meter = spec.meter;
    config.vanishAfterReplies = spec.vanishAfterReplies;
    configs.push_back(std::move(config));
  }
  return configs;
}

RunOutcome RunWithDriver(const d2xx::D2xxFunctions& driver, const ClockFunction& now,
                         const SleepFunction& sleep, const WaitingMode& mode,
                         const ConversationAction& action) {
  RunOutcome outcome;
  ComAccess port(driver);
  RecordingMessageBoxes boxes;
  RecordingWindow window;
  MeterLink link(outcome.image, boxes);
  link.DriverLibrary = &driver;
  link.SharedPort = &port;
  link.Now = now;
  link.Sleep = sleep;
  link.Transfer = mode.transfer;
  EXPECT_EQ(UsesFastTransfer(link), mode.transfer == TransferMode::kFast);
  action(link, window, outcome);
  port.Close();
  outcome.boxes = boxes.boxes;
  outcome.windowEvents = window.events;
  return outcome;
}

}  // namespace

std::vector<WaitingMode> WaitingModes() {
  return {{"fast", TransferMode::kFast}, {"paced", TransferMode::kPaced}};
}

void RunDownloadTimer(MeterLink& link, RecordingWindow& window, int maxTicks) {
  for (int tick = 0; tick < maxTicks && window.timers.count(cmd::kDownloadTimerId) != 0; ++tick) {
    DownloadStep(link, &window);
    link.Sleep(cmd::kDownloadTimerPeriodMs);
  }
}

RunOutcome RunOnVirtualMeter(const std::vector<AdapterSpec>& adapters, const WaitingMode& mode,
                             const ConversationAction& action) {
  vm::VirtualBus bus(VirtualConfig(adapters));
  const d2xx::D2xxFunctions driver = mode.transfer == TransferMode::kFast
                                         ? vm::VirtualBus::FastFunctions()
                                         : vm::VirtualBus::Functions();
  RunOutcome outcome = RunWithDriver(driver, bus.NowFunction(), bus.SleepFunction(), mode, action);
  // One adapter's entries after another's, as the emulated adapters keep them.
  for (std::size_t adapter = 0; adapter < adapters.size(); ++adapter) {
    for (const vm::TranscriptEntry& entry : bus.Transcript()) {
      if (entry.adapter == static_cast<int>(adapter)) {
        outcome.wire.push_back(vm::RenderEntry(entry));
      }
    }
  }
  return outcome;
}

RunOutcome RunOnOpenDriver(const std::vector<AdapterSpec>& adapters, const WaitingMode& mode,
                           const ConversationAction& action,
                           const std::function<void(EmulatedUsbBus&)>& inspect) {
  EmulatedUsbBus bus(EmulatedConfig(adapters));
  DriverLoadDiagnosis diagnosis;
  const std::unique_ptr<DriverLibrary> library =
      DriverLibrary::LoadNamed(KLXR_OPEN_DRIVER_PATH, &diagnosis);
  if (library == nullptr) {
    ADD_FAILURE() << diagnosis.libraryName << ": " << diagnosis.problem;
    return {};
  }
  // The emulated meters answer at once: the program's own pauses and the timer's period only move
  // a counted clock.
  CountedClock clock;
  RunOutcome outcome =
      RunWithDriver(library->Functions(), clock.Now(), clock.Sleep(), mode, action);
  for (std::size_t adapter = 0; adapter < adapters.size(); ++adapter) {
    const std::vector<std::string> wire = bus.WireLog(adapter);
    outcome.wire.insert(outcome.wire.end(), wire.begin(), wire.end());
  }
  if (inspect) {
    inspect(bus);
  }
  EXPECT_EQ(bus.UnhandledRequests(), std::vector<std::string>{});
  return outcome;
}

}  // namespace klxr::emulation
