// The meter picked in the device list: the device Read and Erase then use, and the main window's
// title, which names the meter in use when it is not the first device, or the demo meter.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "desktop/app_state.h"
#include "desktop/application.h"
#include "link/meter_discovery.h"
#include "resources/command_ids.h"
#include "support/bus_services.h"
#include "support/fake_desktop_shell.h"
#include "support/recording_message_boxes.h"
#include "virtual-meter/meter_records.h"
#include "virtual-meter/virtual_bus.h"

namespace klxr {
namespace {

using testing::FakeDesktopShell;
using testing::RecordingMessageBoxes;

TEST(MainWindowTitleTest, NamesTheMeterOnlyWhenItIsNotTheFirstOrTheDemo) {
  const std::string kSerial = "KLXR V2.31 S/N 104512";
  const struct {
    const char* what;
    std::optional<std::int64_t> survey;
    TitleMeter meter;
    std::string title;
  } kCases[] = {
      {"first meter", std::nullopt, {}, "KL-XR Meter - Log"},
      {"first meter picked", std::nullopt, {false, 0, kSerial}, "KL-XR Meter - Log"},
      {"survey", 12, {}, "Survey 12 - KL-XR Meter - Log"},
      {"another meter",
       std::nullopt,
       {false, 1, kSerial},
       "KL-XR Meter - Log - meter 2 (KLXR V2.31 S/N 104512)"},
      {"another meter, survey",
       7,
       {false, 3, "KLXR B"},
       "Survey 7 - KL-XR Meter - Log - meter 4 (KLXR B)"},
      {"demo", std::nullopt, {true, 0, ""}, "KL-XR Meter - Log - demo meter"},
      {"demo, survey", 12, {true, 0, ""}, "Survey 12 - KL-XR Meter - Log - demo meter"},
      {"demo, another meter",
       std::nullopt,
       {true, 2, "KLXR C"},
       "KL-XR Meter - Log - demo meter 3 (KLXR C)"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(MainWindowTitle("KL-XR Meter - Log", c.survey, c.meter), c.title);
  }
}

vm::AdapterConfig MeterOf(const std::string& version, int records) {
  vm::AdapterConfig adapter;
  adapter.meter->versionText = version;
  adapter.meter->records = vm::GeneratedRecords(records);
  return adapter;
}

// Devices 0, 2 and 3 are meters; device 1 is an adapter without one, which the list skips.
vm::BusConfig ThreeMetersAndASilentDevice() {
  vm::AdapterConfig silent;
  silent.meter.reset();
  vm::BusConfig config;
  config.adapters = {MeterOf("KLXR A", 2), silent, MeterOf("KLXR B", 3), MeterOf("KLXR C", 4)};
  return config;
}

struct PickedProgram {
  explicit PickedProgram(vm::BusConfig config, bool demo = false)
      : bus(std::move(config)), app(shell, boxes, Services(bus, demo)) {
    EXPECT_TRUE(app.Start(""));
  }
  static StartUpServices Services(vm::VirtualBus& bus, bool demo) {
    StartUpServices services = testing::BusServices(bus);
    services.demoMeter = demo;
    return services;
  }
  // The adapters the bus's transcript names since its logs were last cleared.
  std::vector<int> TalkedTo() const {
    std::vector<int> adapters;
    for (const vm::TranscriptEntry& entry : bus.Transcript()) {
      if (std::find(adapters.begin(), adapters.end(), entry.adapter) == adapters.end()) {
        adapters.push_back(entry.adapter);
      }
    }
    return adapters;
  }
  vm::VirtualBus bus;
  FakeDesktopShell shell;
  RecordingMessageBoxes boxes;
  Application app;
};

TEST(MeterPickTest, ReadAndEraseUseThePickedMetersDevice) {
  const struct {
    const char* what;
    std::optional<int> line;  // the line picked, in device order (discovery's); none: no pick
    int device;
    std::string title;
  } kCases[] = {
      {"no pick", std::nullopt, 0, "KL-XR Meter - Log"},
      {"the first", 0, 0, "KL-XR Meter - Log"},
      {"the second, past the silent device", 1, 2, "KL-XR Meter - Log - meter 3 (KLXR B)"},
      {"the third", 2, 3, "KL-XR Meter - Log - meter 4 (KLXR C)"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    PickedProgram program(ThreeMetersAndASilentDevice());
    program.shell.onDeviceList = [&c](const MeterLink& link) -> std::optional<ListedMeter> {
      CollectedMeters meters;
      DiscoverMeters(link, &meters);
      if (!c.line) {
        return std::nullopt;
      }
      const auto line = static_cast<std::size_t>(*c.line);
      return ListedMeter{meters.deviceIndexes.at(line), meters.texts.at(line)};
    };
    program.app.Command(cmd::kVersion);
    EXPECT_EQ(program.app.State().Link.DeviceIndex, c.device);
    const std::vector<std::string>& titles = program.shell.window->titles;
    EXPECT_EQ(titles.empty() ? "KL-XR Meter - Log" : titles.back(), c.title);

    program.bus.ClearLogs();
    program.boxes.answers = {Answer::Yes};
    program.app.Command(cmd::kEraseLog);
    EXPECT_EQ(program.TalkedTo(), std::vector<int>{c.device});
    for (const int device : {0, 2, 3}) {
      EXPECT_EQ(program.bus.Adapter(device).Meter()->RecordCount() == 0, device == c.device)
          << device;
    }

    program.bus.ClearLogs();
    program.app.Command(cmd::kRead);
    EXPECT_TRUE(program.app.State().Link.Download.DownloadRunning);
    EXPECT_EQ(program.TalkedTo(), std::vector<int>{c.device});
  }
}

TEST(MeterPickTest, TheDemoMeterIsNamedFromTheStartAndAfterAPick) {
  PickedProgram program(ThreeMetersAndASilentDevice(), true);
  ASSERT_NE(program.shell.window, nullptr);
  EXPECT_EQ(program.shell.caption, "KL-XR Meter - Log");  // the window is made with the caption
  EXPECT_EQ(program.shell.window->titles,
            std::vector<std::string>{"KL-XR Meter - Log - demo meter"});
  program.shell.onDeviceList = [](const MeterLink&) { return ListedMeter{3, "KLXR C"}; };
  program.app.Command(cmd::kVersion);
  EXPECT_EQ(program.shell.window->titles.back(), "KL-XR Meter - Log - demo meter 4 (KLXR C)");
}

}  // namespace
}  // namespace klxr
