// The conversations on a device other than the first, and discovery asked about one device.
#include <gtest/gtest.h>

#include <algorithm>

#include "conversation_fixture.h"
#include "link/log_erase.h"
#include "link/meter_discovery.h"

namespace klxr::testing {
namespace {

// Three meters with 2, 3 and 4 records.
constexpr const char* kThreeMeters =
    "device\n  records 2\n"
    "device\n  records 3\n"
    "device\n  records 4\n";

bool TouchedAdapter(const vm::VirtualBus& bus, int adapter) {
  return std::any_of(
      bus.Transcript().begin(), bus.Transcript().end(),
      [adapter](const vm::TranscriptEntry& entry) { return entry.adapter == adapter; });
}

TEST(DeviceIndex, DownloadAndEraseWorkOnTheDeviceAtTheIndex) {
  for (int index = 0; index < 3; ++index) {
    SCOPED_TRACE(index);
    {
      Conversation read(Scenario(kThreeMeters));
      read.link.DeviceIndex = index;
      read.Download();
      EXPECT_EQ(read.boxes.boxes, OneBox(msg::kTransferComplete, BoxKind::Information));
      EXPECT_EQ(read.link.Download.RecordsReceived, index + 2);
      const Lines calls = read.bus.CallLog();
      ASSERT_GE(calls.size(), 9u);
      EXPECT_EQ(Lines(calls.begin(), calls.begin() + 9), OpeningCalls(index));
      for (int other = 0; other < 3; ++other) {
        EXPECT_EQ(TouchedAdapter(read.bus, other), other == index) << other;
      }
    }

    Conversation erase(Scenario(kThreeMeters));
    erase.link.DeviceIndex = index;
    EraseMeterLog(erase.link, nullptr);
    EXPECT_EQ(erase.boxes.boxes, OneBox(msg::kLogErased, BoxKind::Plain));
    for (int other = 0; other < 3; ++other) {
      EXPECT_EQ(erase.bus.Adapter(other).Meter()->RecordCount() == 0, other == index) << other;
    }
  }
}

TEST(DeviceIndex, NoDeviceAtTheIndexIsAPortError) {
  Conversation run(Scenario(kThreeMeters));
  run.link.DeviceIndex = 3;
  run.Download();
  EXPECT_EQ(run.boxes.boxes, OneBox(msg::kUsbPortError, BoxKind::Error));
  EXPECT_TRUE(run.bus.WireLog().empty());
}

TEST(AskDeviceForVersion, TellsWhyADeviceIsNotListed) {
  struct Case {
    const char* name;
    const char* device;
    DeviceAnswer answer;
    const char* version;
  };
  const Case cases[] = {
      {"meter", "device\n  version \"KLXR 9\"", DeviceAnswer::kMeter, "KLXR 9"},
      {"silent", "device\n  no-meter", DeviceAnswer::kSilent, ""},
      {"NAK", "device\n  fault VERSION 1 nak", DeviceAnswer::kSilent, ""},
      {"bad checksum", "device\n  fault VERSION 1 bad-checksum", DeviceAnswer::kSilent, ""},
      {"in use", "device\n  in-use", DeviceAnswer::kCannotOpen, ""},
      {"adapter differs", "device factory-default", DeviceAnswer::kAdapterDiffers, ""},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    // The device asked about alone makes the same driver calls as discovery makes for it.
    Lines discovered;
    {
      Conversation discovery(Scenario(test.device));
      DiscoverMeters(discovery.link, nullptr);
      discovered = discovery.bus.CallLog();
    }
    Conversation run(Scenario(test.device));
    std::string version = "unchanged";
    EXPECT_EQ(AskDeviceForVersion(run.link, 0, version), test.answer);
    EXPECT_EQ(version, test.answer == DeviceAnswer::kMeter ? test.version : "unchanged");
    EXPECT_EQ(run.bus.CallLog(), Lines(discovered.begin() + 1, discovered.end()));
  }
  Conversation run(Scenario("device"));
  std::string version;
  EXPECT_EQ(AskDeviceForVersion(run.link, 1, version), DeviceAnswer::kCannotOpen);
  run.link.DriverLibrary = nullptr;
  EXPECT_EQ(AskDeviceForVersion(run.link, 0, version), DeviceAnswer::kCannotOpen);
}

}  // namespace
}  // namespace klxr::testing
