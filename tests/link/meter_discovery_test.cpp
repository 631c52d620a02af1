// Meter discovery against the in-process virtual meter on its virtual clock.
#include "link/meter_discovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "conversation_fixture.h"
#include "link/support/fake_d2xx.h"
#include "virtual-meter/eeprom_contents.h"

namespace klxr {
namespace {

using testing::Conversation;
using testing::Joined;
using testing::Lines;
using testing::MeterWith;
using testing::OpeningCalls;
using testing::Scenario;
using Texts = std::vector<std::string>;

const std::string& kVersion = testing::kVersionFrame;

TEST(MeterDiscovery, TwoMetersWithTheSameTextAreBothListed) {
  Conversation run(Scenario("device\n  version \"KLXR V2.31\"\ndevice\n  version \"KLXR V2.31\""));
  CollectedMeters list;
  EXPECT_EQ(DiscoverMeters(run.link, &list), 2);
  EXPECT_EQ(list.texts, (Texts{"KLXR V2.31", "KLXR V2.31"}));

  const Lines calls = run.bus.CallLog();
  const Lines firstDevice =
      Joined(Joined({"FT_ListDevices -> 2", "FT_Open(0)", "FT_Close"}, OpeningCalls(0)),
             Lines{"FT_Write(" + kVersion + ")", "FT_Read(100) -> 14", "FT_Close", "FT_Open(1)"});
  ASSERT_GE(calls.size(), firstDevice.size());
  EXPECT_EQ(Lines(calls.begin(), calls.begin() + 16), firstDevice);
  EXPECT_EQ(calls.back(), "FT_Close");
  // The shared port is never used.
  EXPECT_FALSE(run.port.IsOpen());
  EXPECT_EQ(run.port.Status, d2xx::FT_OK);
}

TEST(MeterDiscovery, ListsInDeviceOrderForTheListToSort) {
  Conversation run(
      Scenario("device\n  version \"KLXR C\"\ndevice\n  version \"KLXR B\"\n"
               "device\n  version \"KLXR A\""));
  CollectedMeters list;
  EXPECT_EQ(DiscoverMeters(run.link, &list), 3);
  EXPECT_EQ(list.texts, (Texts{"KLXR C", "KLXR B", "KLXR A"}));
}

TEST(MeterDiscovery, NoDevicesMeansNoCallBeyondTheCount) {
  Conversation run(vm::BusConfig{});
  CollectedMeters list;
  EXPECT_EQ(DiscoverMeters(run.link, &list), 0);
  EXPECT_TRUE(list.texts.empty());
  EXPECT_EQ(run.bus.CallLog(), Lines{"FT_ListDevices -> 0"});
}

struct SkippedCase {
  const char* name;
  const char* device;  // scenario lines of the device before a good meter
  int reads;           // reads made while waiting for its answer; -1: no temporary port at all
};

TEST(MeterDiscovery, DevicesThatAreSkipped) {
  const SkippedCase cases[] = {
      {"silent device: five reads", "device\n  no-meter", 5},
      {"NAK ends the wait at once", "device\n  fault VERSION 1 nak", 1},
      {"bad checksum", "device\n  fault VERSION 1 bad-checksum", 1},
      {"first byte not ACK", "device\n  fault VERSION 1 garble", 1},
      {"4-byte reply: its checksum arrives as zero", "device\n  version \"\"", 5},
      {"in use by another program", "device\n  in-use", -1},
      {"adapter that differs", "device factory-default", 0},
  };
  for (const SkippedCase& test : cases) {
    SCOPED_TRACE(test.name);
    Conversation run(Scenario(std::string(test.device) + "\ndevice\n  version \"GOOD\""));
    CollectedMeters list;
    EXPECT_EQ(DiscoverMeters(run.link, &list), 1);
    EXPECT_EQ(list.texts, Texts{"GOOD"});

    const Lines calls = run.bus.CallLog();
    const auto secondDevice = std::find(calls.begin(), calls.end(), "FT_Open(1)");
    const Lines firstDevice(calls.begin(), secondDevice);
    EXPECT_EQ(std::count(firstDevice.begin(), firstDevice.end(), "FT_EE_Program"), 0);
    if (test.reads < 0) {
      EXPECT_EQ(firstDevice, (Lines{"FT_ListDevices -> 2", "FT_Open(0) -> FT_DEVICE_NOT_OPENED"}));
    } else {
      EXPECT_EQ(
          std::count_if(firstDevice.begin(), firstDevice.end(),
                        [](const std::string& call) { return call.rfind("FT_Read", 0) == 0; }),
          test.reads);
      EXPECT_EQ(firstDevice.back(), "FT_Close");
    }
  }
  // The adapter that differs is not written.
  Conversation run(Scenario("device factory-default"));
  EXPECT_EQ(DiscoverMeters(run.link, nullptr), 0);
  EXPECT_EQ(run.bus.Adapter(0).Eeprom().description, vm::kFactoryDescription);
}

struct AnswerCase {
  const char* name;
  std::size_t textLength;  // the version text: this many letters
  const char* fault;       // a fault line for the meter, or empty
  bool listed;
  int reads;
};

TEST(MeterDiscovery, WaitsForTheWholeFrameTheLengthByteAnnounces) {
  const AnswerCase cases[] = {
      {"96 bytes: the answer fits one read", 96, "", true, 1},
      {"97 bytes: the checksum comes in a second read", 97, "", true, 2},
      {"120 bytes", 120, "", true, 2},
      {"127 bytes, the longest payload", 127, "", true, 2},
      {"first 5 bytes, the rest 300 ms later", 20, "fault VERSION 1 split 5 300", true, 2},
      {"the rest comes after the fifth read", 20, "fault VERSION 1 split 5 1100", false, 5},
  };
  for (const AnswerCase& test : cases) {
    SCOPED_TRACE(test.name);
    const std::string text(test.textLength, 'V');
    Conversation run(Scenario("device\n  version \"" + text + "\"\n  " + test.fault));
    CollectedMeters list;
    EXPECT_EQ(DiscoverMeters(run.link, &list), test.listed ? 1 : 0);
    EXPECT_EQ(list.texts, test.listed ? Texts{text} : Texts{});
    const Lines calls = run.bus.CallLog();
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                            [](const std::string& call) { return call.rfind("FT_Read", 0) == 0; }),
              test.reads);
  }
}

TEST(MeterDiscovery, MeterHeldByTheSharedPortIsNotListed) {
  Conversation run(MeterWith(10));
  StartDownload(run.link, &run.window);
  ASSERT_TRUE(run.link.Download.DownloadRunning);
  CollectedMeters list;
  EXPECT_EQ(DiscoverMeters(run.link, &list), 0);
  EXPECT_TRUE(list.texts.empty());
  // The download goes on undisturbed.
  run.RunTimer();
  EXPECT_EQ(run.link.Download.RecordsReceived, 10);
}

TEST(MeterDiscovery, ReplyOfAnAbandonedDownloadIsNotTakenForTheVersion) {
  Conversation run(Scenario("device\n  version \"KLXR V2.31\"\n  records 10"));
  StartDownload(run.link, &run.window);
  run.RunTimer(2);
  ASSERT_TRUE(run.link.Download.DownloadRunning);
  // The last "GET" is answered while the port changes hands.
  AbandonDownload(run.link, &run.window);
  CollectedMeters list;
  EXPECT_EQ(DiscoverMeters(run.link, &list), 1);
  EXPECT_EQ(list.texts, Texts{"KLXR V2.31"});
}

TEST(MeterDiscovery, WithoutListOnlyCounts) {
  Conversation run(Scenario("device\ndevice\n  no-meter\ndevice"));
  EXPECT_EQ(DiscoverMeters(run.link, nullptr), 2);
}

TEST(MeterDiscovery, CountsNothingWithoutDriverOrDeviceCount) {
  Conversation run(MeterWith(1));
  run.link.DriverLibrary = nullptr;
  EXPECT_EQ(DiscoverMeters(run.link, nullptr), 0);
  EXPECT_TRUE(run.bus.Calls().empty());

  testing::FakeD2xx fake;
  fake.ScriptStatus("FT_ListDevices", d2xx::FT_OTHER_ERROR);
  run.link.DriverLibrary = &fake.Functions();
  CollectedMeters list;
  EXPECT_EQ(DiscoverMeters(run.link, &list), 0);
  EXPECT_EQ(fake.calls.size(), 1u);
}

}  // namespace
}  // namespace klxr
