// The program's conversations with a meter through the open driver, libftdi1 and libusb against
// emulated FT232R adapters. Each conversation also runs on the virtual meter's own driver table
// with the same meters: both runs must put the same bytes on the wire and end the same way.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "link/driver_library.h"
#include "link/log_download.h"
#include "link/log_erase.h"
#include "link/meter_discovery.h"
#include "log/log_image.h"
#include "resources/message_catalogue.h"
#include "tests/open-driver/twin_conversation.h"
#include "virtual-meter/meter_records.h"

namespace klxr::emulation {
namespace {

std::vector<vm::RecordBytes> SampleRecords(const char* name) {
  vm::LoadedRecords loaded = vm::LoadTlgRecords(std::string(KLXR_SOURCE_DIR) + "/samples/" + name);
  EXPECT_EQ(loaded.error, "");
  return loaded.records;
}

std::vector<std::uint8_t> SampleBytes(const char* name) {
  std::ifstream file(std::string(KLXR_SOURCE_DIR) + "/samples/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

AdapterSpec MeterServing(std::vector<vm::RecordBytes> records) {
  AdapterSpec spec;
  spec.meter->records = std::move(records);
  return spec;
}

void Read(MeterLink& link, RecordingWindow& window, RunOutcome&) {
  StartDownload(link, &window);
  RunDownloadTimer(link, window);
}

void Erase(MeterLink& link, RecordingWindow& window, RunOutcome&) {
  EraseMeterLog(link, &window);
}

void Version(MeterLink& link, RecordingWindow&, RunOutcome& outcome) {
  CollectedMeters meters;
  DiscoverMeters(link, &meters);
  outcome.meters = meters.texts;
}

// Runs the conversation on both back ends in every waiting mode, requires them to agree, and
// returns the open driver's outcome of each mode.
std::vector<RunOutcome> RunTwins(const std::vector<AdapterSpec>& adapters,
                                 const ConversationAction& action,
                                 const std::function<void(EmulatedUsbBus&)>& inspect = {}) {
  std::vector<RunOutcome> outcomes;
  for (const WaitingMode& mode : WaitingModes()) {
    SCOPED_TRACE(mode.name);
    const RunOutcome reference = RunOnVirtualMeter(adapters, mode, action);
    RunOutcome open = RunOnOpenDriver(adapters, mode, action, inspect);
    EXPECT_EQ(open.wire, reference.wire);
    EXPECT_EQ(open.boxes, reference.boxes);
    EXPECT_EQ(open.meters, reference.meters);
    EXPECT_TRUE(open.image.bytes == reference.image.bytes);
    outcomes.push_back(std::move(open));
  }
  return outcomes;
}

class OpenDriverConversation : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!EmulatedUsbBus::Available()) {
      GTEST_SKIP() << "not running under umockdev-wrapper";
    }
  }
};

TEST_F(OpenDriverConversation, ReadsWholeLogsAsTheSourceFilesHoldThem) {
  for (const char* sample : {"mixed.tlg", "full.tlg"}) {
    SCOPED_TRACE(sample);
    for (const RunOutcome& outcome : RunTwins({MeterServing(SampleRecords(sample))}, Read)) {
      const std::vector<std::uint8_t> source = SampleBytes(sample);
      ASSERT_EQ(source.size(), kLogImageSize);
      EXPECT_TRUE(std::equal(source.begin(), source.end(), outcome.image.bytes.begin()));
      EXPECT_EQ(outcome.boxes,
                (std::vector<RecordedBox>{{msg::kTransferComplete, LoadText(msg::kTransferComplete),
                                           BoxKind::Information}}));
    }
  }
}

TEST_F(OpenDriverConversation, ErasesTheMeterLog) {
  const auto outcomes = RunTwins({MeterServing(vm::GeneratedRecords(5))}, Erase);
  for (const RunOutcome& outcome : outcomes) {
    ASSERT_FALSE(outcome.boxes.empty());
    EXPECT_EQ(outcome.boxes.back().index, msg::kLogErased);
  }
}

TEST_F(OpenDriverConversation, ListsEveryMeterThatAnswers) {
  AdapterSpec second = MeterServing({});
  second.meter->versionText = "KLXR V2.40 S/N 200001";
  AdapterSpec factory = MeterServing({});
  factory.eeprom = vm::FactoryDefaultEeprom(2);
  AdapterSpec inUse = MeterServing({});
  inUse.inUseElsewhere = true;
  const struct {
    const char* name;
    std::vector<AdapterSpec> adapters;
    std::vector<std::string> meters;
  } cases[] = {
      {"one", {MeterServing({})}, {std::string(vm::kDefaultVersionText)}},
      {"two",
       {MeterServing({}), second},
       {std::string(vm::kDefaultVersionText), second.meter->versionText}},
      {"factory-default skipped", {factory, second}, {second.meter->versionText}},
      {"in use skipped", {inUse, second}, {second.meter->versionText}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (const RunOutcome& outcome : RunTwins(c.adapters, Version)) {
      EXPECT_EQ(outcome.meters, c.meters);
    }
  }
}

TEST_F(OpenDriverConversation, AdapterInUseElsewhereIsAPortError) {
  AdapterSpec inUse = MeterServing(vm::GeneratedRecords(3));
  inUse.inUseElsewhere = true;
  for (const ConversationAction& action : {ConversationAction(Read), ConversationAction(Erase)}) {
    for (const RunOutcome& outcome : RunTwins({inUse}, action)) {
      EXPECT_EQ(outcome.boxes,
                (std::vector<RecordedBox>{
                    {msg::kUsbPortError, LoadText(msg::kUsbPortError), BoxKind::Error}}));
      EXPECT_TRUE(outcome.wire.empty());
    }
  }
}

TEST_F(OpenDriverConversation, UnplugDuringReadEndsAsOnTheVirtualMeter) {
  AdapterSpec vanishing = MeterServing(vm::GeneratedRecords(40));
  vanishing.vanishAfterReplies = 12;
  for (const RunOutcome& outcome : RunTwins({vanishing}, Read)) {
    EXPECT_FALSE(outcome.boxes.empty());
    EXPECT_LT(CountRecords(outcome.image, nullptr), 40);
  }
}

}  // namespace
}  // namespace klxr::emulation

namespace klxr::emulation {
namespace {

// A factory-default adapter whose other settings differ from the presets, so that keeping them is
// seen.
vm::EepromContents UnusualFactoryAdapter() {
  vm::EepromContents eeprom = vm::FactoryDefaultEeprom(7);
  eeprom.fields.MaxPower = 120;
  eeprom.fields.RemoteWakeup = 0;
  eeprom.fields.InvertRTS = 1;
  eeprom.fields.InvertRI = 1;
  eeprom.fields.Cbus0 = d2xx::FT_232R_CBUS_TXRXLED;
  eeprom.fields.Cbus2 = d2xx::FT_232R_CBUS_CLK12;
  eeprom.fields.HighDriveIOs = 1;
  eeprom.fields.InvertTXD = 1;
  eeprom.fields.Cbus4 = d2xx::FT_232R_CBUS_PWRON;
  return eeprom;
}

TEST_F(OpenDriverConversation, AdapterCheckCorrectsOnlyItsFieldsAndCyclesTheAdapter) {
  const vm::EepromContents before = UnusualFactoryAdapter();
  vm::EepromContents expected = before;
  expected.fields.PnP = 0;
  expected.fields.InvertDTR = 1;
  expected.fields.InvertTXD = 0;
  expected.fields.Cbus4 = d2xx::FT_232R_CBUS_SLEEP;
  expected.description = std::string(vm::kMeterLeadDescription);

  AdapterSpec spec = MeterServing(vm::GeneratedRecords(4));
  spec.eeprom = before;
  for (const ConversationAction& action : {ConversationAction(Read), ConversationAction(Erase)}) {
    const auto inspect = [&](EmulatedUsbBus& bus) {
      const EepromImage image = bus.Eeprom(0);
      EXPECT_EQ(image, BuildEepromImage(expected));
      EXPECT_EQ(image[126] | (image[127] << 8), EepromChecksum(image));
      EXPECT_EQ(bus.WithAdapter(0, [](const EmulatedFt232r& chip) { return chip.Resets(); }), 1);
    };
    for (const RunOutcome& outcome : RunTwins({spec}, action, inspect)) {
      EXPECT_EQ(outcome.boxes,
                (std::vector<RecordedBox>{
                    {msg::kDeviceUpgraded, LoadText(msg::kDeviceUpgraded), BoxKind::Error}}));
      EXPECT_TRUE(outcome.wire.empty());
    }
  }
}

TEST_F(OpenDriverConversation, ReprogrammedAdapterServesTheNextRead) {
  AdapterSpec spec = MeterServing(vm::GeneratedRecords(6));
  spec.eeprom = vm::FactoryDefaultEeprom();
  EmulatedAdapterConfig config;
  config.eeprom = BuildEepromImage(spec.eeprom);
  config.meter = spec.meter;
  for (const WaitingMode& mode : WaitingModes()) {
    SCOPED_TRACE(mode.name);
    EmulatedUsbBus bus({config});
    const std::unique_ptr<DriverLibrary> library = DriverLibrary::LoadNamed(KLXR_OPEN_DRIVER_PATH);
    ASSERT_NE(library, nullptr);
    const d2xx::D2xxFunctions& driver = library->Functions();
    ComAccess port(driver);
    LogImage image;
    RecordingMessageBoxes boxes;
    RecordingWindow window;
    MeterLink link(image, boxes);
    link.DriverLibrary = &driver;
    link.SharedPort = &port;
    link.Transfer = mode.transfer;
    CountedClock clock;
    clock.Drive(link);

    StartDownload(link, &window);
    RunDownloadTimer(link, window);
    EXPECT_EQ(CountRecords(image, nullptr), 0);
    StartDownload(link, &window);
    RunDownloadTimer(link, window);
    port.Close();
    EXPECT_EQ(CountRecords(image, nullptr), 6);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].index, msg::kDeviceUpgraded);
    EXPECT_EQ(boxes.boxes[1].index, msg::kTransferComplete);
  }
}

}  // namespace
}  // namespace klxr::emulation
