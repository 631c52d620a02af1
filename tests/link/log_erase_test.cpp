// The log erase against the in-process virtual meter on its virtual clock, and against the
// recording fake driver where the meter's answer must be one the virtual meter never gives.
#include "link/log_erase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "conversation_fixture.h"
#include "link/meter_frame.h"
#include "link/support/fake_d2xx.h"
#include "virtual-meter/eeprom_contents.h"

namespace klxr {
namespace {

using testing::Conversation;
using testing::Joined;
using testing::Lines;
using testing::MeterWith;
using testing::OneBox;
using testing::OpeningCalls;
using testing::Received;
using testing::RecordedBox;
using testing::Scenario;
using testing::Sent;

const std::string& kLog = testing::kLogFrame;
const std::string& kErase = testing::kEraseFrame;
const std::string& kEnd = testing::kEndFrame;
const std::string kSuccess = "06 02 07 53 55 43 43 45 53 53 DF";

const std::vector<RecordedBox> kErased = OneBox(msg::kLogErased, BoxKind::Plain);
const std::vector<RecordedBox> kHandshake = OneBox(msg::kHandshakeNotReceived, BoxKind::Error);

std::size_t CountOf(const Lines& lines, const std::string& line) {
  return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

// The reads made after the write of `frame` and before the next write.
int ReadsAfter(const Lines& calls, const std::string& frame) {
  const auto write = std::find(calls.begin(), calls.end(), "FT_Write(" + frame + ")");
  const auto next = std::find_if(write + 1, calls.end(), [](const std::string& call) {
    return call.rfind("FT_Write", 0) == 0 || call.rfind("FT_Close", 0) == 0;
  });
  return static_cast<int>(std::count_if(
      write, next, [](const std::string& call) { return call.rfind("FT_Read", 0) == 0; }));
}

TEST(LogErase, ConfirmedEraseOnTheWire) {
  Conversation run(MeterWith(12));
  run.image.bytes.fill('D');
  EraseMeterLog(run.link, &run.window);

  EXPECT_EQ(run.bus.WireLog(),
            (Lines{Sent(kLog), Received("06"), Sent(kErase), Received(kSuccess), Sent(kEnd)}));
  const Lines calls = run.bus.CallLog();
  const Lines expectedStart =
      Joined(OpeningCalls(0),
             Lines{"FT_Write(" + kLog + ")", "FT_Read(100) -> 1", "FT_Write(" + kErase + ")"});
  ASSERT_GE(calls.size(), expectedStart.size() + 3);
  EXPECT_EQ(Lines(calls.begin(), calls.begin() + 12), expectedStart);
  // The meter takes 1.5 s to erase: seven empty reads of 200 ms, then the answer.
  EXPECT_EQ(
      Lines(calls.begin() + 12, calls.end()),
      (Lines{"FT_Read(100) -> 0", "FT_Read(100) -> 0", "FT_Read(100) -> 0", "FT_Read(100) -> 0",
             "FT_Read(100) -> 0", "FT_Read(100) -> 0", "FT_Read(100) -> 0", "FT_Read(100) -> 11",
             "FT_Write(" + kEnd + ")", "FT_Close"}));
  EXPECT_GE(run.bus.Calls().back().timeUs - run.bus.Calls()[calls.size() - 2].timeUs, 100'000);
  EXPECT_EQ(run.boxes.boxes, kErased);
  EXPECT_EQ(run.bus.Adapter(0).Meter()->RecordCount(), 0u);
  // The program's own log image and its View command are not touched.
  EXPECT_TRUE(std::all_of(run.image.bytes.begin(), run.image.bytes.end(),
                          [](std::uint8_t byte) { return byte == 'D'; }));
  EXPECT_TRUE(run.window.events.empty());
  EXPECT_FALSE(run.port.IsOpen());
}

struct EraseCase {
  const char* name;
  const char* meter;  // scenario lines of the one device
  bool confirmed;
  bool eraseSent;  // "ERASE" and "END" went out
  int logReads;    // reads while waiting for the answer to "LOG"
  int eraseReads;  // reads while waiting for the answer to "ERASE"; -1: not checked
};

TEST(LogErase, AnswersThatDoNotConfirm) {
  const EraseCase cases[] = {
      {"meter silent to LOG still gets ERASE", "fault LOG every silence", true, true, 5, 8},
      {"no meter at all", "no-meter", false, true, 5, 50},
      {"NAK to LOG", "fault LOG 1 nak", false, false, 1, 0},
      {"garbled answer to LOG", "fault LOG 1 garble", false, false, 1, 0},
      {"NAK to ERASE ends the wait at once", "fault ERASE 1 nak", false, true, 1, 1},
      {"ERASE answer in pieces is collected", "fault ERASE 1 split 4 900", true, true, 1, 13},
      {"wrong checksum", "fault ERASE 1 bad-checksum", false, true, 1, 8},
      {"first byte not ACK", "fault ERASE 1 garble", false, true, 1, 8},
      {"answer after the 50 reads", "erase-ms 10500", false, true, 1, 50},
  };
  for (const EraseCase& test : cases) {
    SCOPED_TRACE(test.name);
    Conversation run(Scenario(std::string("device\n  ") + test.meter));
    EraseMeterLog(run.link, &run.window);

    const Lines wire = run.bus.WireLog();
    const Lines calls = run.bus.CallLog();
    if (test.confirmed) {
      EXPECT_EQ(run.boxes.boxes, kErased);
    } else if (!test.eraseSent) {
      EXPECT_EQ(run.boxes.boxes, kHandshake);
    } else {
      EXPECT_TRUE(run.boxes.boxes.empty());
    }
    EXPECT_EQ(CountOf(wire, Sent(kErase)), test.eraseSent ? 1u : 0u);
    EXPECT_EQ(CountOf(wire, Sent(kEnd)), test.eraseSent ? 1u : 0u);
    EXPECT_EQ(ReadsAfter(calls, kLog), test.logReads);
    if (test.eraseSent && test.eraseReads >= 0) {
      EXPECT_EQ(ReadsAfter(calls, kErase), test.eraseReads);
    }
    EXPECT_FALSE(run.port.IsOpen());
  }
}

TEST(LogErase, ConfirmationNeedsExactlySuccessInUpperCase) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> answer;
    bool confirmed;
  };
  const auto ackFrame = [](std::string_view payload) {
    std::vector<std::uint8_t> bytes{ACK};
    const vm::Bytes frame = vm::MakeFrame(payload);
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    return bytes;
  };
  std::vector<std::uint8_t> longer = ackFrame("SUCCESSFUL");
  const Case cases[] = {
      {"SUCCESS", ackFrame("SUCCESS"), true},
      {"lower case", ackFrame("success"), false},
      {"longer word", longer, false},
      {"SUCCESS with a zero byte after it", ackFrame(std::string_view("SUCCESS\0X", 9)), false},
      {"bare ACK", {ACK, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    testing::FakeD2xx fake;
    fake.QueueRead({ACK});
    fake.QueueRead(test.answer);
    ComAccess port(fake.Functions());
    LogImage image;
    testing::RecordingMessageBoxes boxes;
    MeterLink link(image, boxes);
    link.DriverLibrary = &fake.Functions();
    link.SharedPort = &port;
    link.Sleep = [](std::uint32_t) {};
    EraseMeterLog(link, nullptr);
    EXPECT_EQ(boxes.boxes.size(), test.confirmed ? 1u : 0u);
  }
}

TEST(LogErase, DoesNotStartWhenThePortOrTheAdapterIsNotReady) {
  vm::BusConfig factory = MeterWith(3);
  factory.adapters[0].eeprom = vm::FactoryDefaultEeprom();
  struct Case {
    const char* name;
    vm::BusConfig config;
    int box;
  };
  Case cases[] = {
      {"no device", vm::BusConfig{}, msg::kUsbPortError},
      {"adapter re-programmed", std::move(factory), msg::kDeviceUpgraded},
  };
  for (Case& test : cases) {
    SCOPED_TRACE(test.name);
    Conversation run(std::move(test.config));
    EraseMeterLog(run.link, &run.window);
    EXPECT_EQ(run.boxes.boxes, OneBox(test.box, BoxKind::Error));
    EXPECT_TRUE(run.bus.WireLog().empty());
    EXPECT_FALSE(run.port.IsOpen());
  }
}

TEST(LogErase, WithoutSharedPortShowsThePortError) {
  Conversation run(MeterWith(3));
  run.link.SharedPort = nullptr;
  EraseMeterLog(run.link, &run.window);
  EXPECT_EQ(run.boxes.boxes, OneBox(msg::kUsbPortError, BoxKind::Error));
  EXPECT_TRUE(run.bus.Calls().empty());
}

TEST(LogErase, EraseDuringADownloadStopsTheDownloadFirst) {
  const std::vector<vm::RecordBytes> records = vm::GeneratedRecords(6);
  Conversation run(vm::OneMeter(records));
  StartDownload(run.link, &run.window);
  run.RunTimer(2);
  ASSERT_TRUE(run.link.Download.DownloadRunning);
  run.bus.ClearLogs();
  run.window.events.clear();

  EraseMeterLog(run.link, &run.window);
  EXPECT_FALSE(run.link.Download.DownloadRunning);
  EXPECT_TRUE(run.window.timers.empty());
  EXPECT_EQ(run.window.events, (Lines{"timer kill 12345", "repaint erase"}));
  // The reply to the last "GET" is still on its way: it is waited out for one read time-out and
  // purged, so that the erase does not take it for the answer to its "LOG".
  const Lines calls = run.bus.CallLog();
  EXPECT_EQ(Lines(calls.begin(), calls.begin() + 4),
            (Lines{"FT_Read(100) -> 68", "FT_Purge(1)", "FT_Close", "FT_Open(0)"}));
  EXPECT_EQ(
      run.WireFrom(testing::kLogFrame),
      (Lines{testing::Sent(testing::kLogFrame), testing::Received("06"),
             testing::Sent(testing::kEraseFrame), testing::AckAnd(testing::FrameHex("SUCCESS")),
             testing::Sent(testing::kEndFrame)}));
  EXPECT_EQ(run.boxes.boxes, kErased);
  // The records the download stored stay; a late tick finds no download.
  EXPECT_EQ(CountRecords(run.image, nullptr), 2);
  const std::size_t callsAfterErase = run.bus.Calls().size();
  DownloadStep(run.link, &run.window);
  EXPECT_EQ(run.bus.Calls().size(), callsAfterErase);
}

TEST(LogErase, ReadWorksOnTheSamePortAfterAnErase) {
  Conversation run(MeterWith(4));
  EraseMeterLog(run.link, &run.window);
  run.Download();
  EXPECT_EQ(run.boxes.Indexes(), (std::vector<int>{msg::kLogErased, msg::kTransferComplete}));
  EXPECT_EQ(CountRecords(run.image, nullptr), 0);
}

}  // namespace
}  // namespace klxr
