// The log download against the in-process virtual meter on its virtual clock.
#include "link/log_download.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "conversation_fixture.h"
#include "virtual-meter/eeprom_contents.h"

namespace klxr {
namespace {

using testing::AckAnd;
using testing::Conversation;
using testing::FrameHex;
using testing::Joined;
using testing::Lines;
using testing::MeterWith;
using testing::OpeningCalls;
using testing::Received;
using testing::RecordedBox;
using testing::Scenario;
using testing::Sent;

const std::string& kLog = testing::kLogFrame;
const std::string& kGet = testing::kGetFrame;
const std::string& kEnd = testing::kEndFrame;
const std::string kEndOfLog = "06 02 03 45 4E 44 25";

const RecordedBox kComplete{msg::kTransferComplete, "Transfer Complete!", BoxKind::Information};
const RecordedBox kHandshake{msg::kHandshakeNotReceived, "Error - Handshake not received",
                             BoxKind::Error};

// The records of the image's first `count` slots, and whether every later slot is zero.
bool ImageHolds(const LogImage& image, const std::vector<vm::RecordBytes>& records,
                std::size_t count) {
  for (std::size_t slot = 0; slot < count; ++slot) {
    const auto stored = image.Slot(static_cast<int>(slot));
    if (!std::equal(stored.begin(), stored.end(), records[slot].begin())) {
      return false;
    }
  }
  const auto rest = image.bytes.begin() + static_cast<std::ptrdiff_t>(count * kRecordSize);
  return std::all_of(rest, image.bytes.end(), [](std::uint8_t byte) { return byte == 0; });
}

std::size_t CountOf(const Lines& lines, const std::string& line) {
  return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

TEST(LogDownload, TwoRecordLogOnTheWireAndAtTheWindow) {
  const std::vector<vm::RecordBytes> records = vm::GeneratedRecords(2);
  Conversation run(vm::OneMeter(records));
  run.Download();

  EXPECT_EQ(run.bus.WireLog(),
            (Lines{Sent(kLog), Received("06"), Sent(kGet), AckAnd(FrameHex(records[0])), Sent("06"),
                   Sent(kGet), AckAnd(FrameHex(records[1])), Sent("06"), Sent(kGet),
                   Received(kEndOfLog), Sent("06"), Sent(kEnd)}));
  EXPECT_EQ(
      run.bus.CallLog(),
      Joined(OpeningCalls(0),
             Lines{"FT_Write(" + kLog + ")", "FT_Purge(1)", "FT_Purge(2)", "FT_Write(" + kGet + ")",
                   "FT_Read(100) -> 68", "FT_Write(06)", "FT_Write(" + kGet + ")",
                   "FT_Read(100) -> 68", "FT_Write(06)", "FT_Write(" + kGet + ")",
                   "FT_Read(100) -> 7", "FT_Write(06)", "FT_Write(" + kEnd + ")", "FT_Close"}));
  EXPECT_EQ(run.window.events,
            (Lines{"view off", "timer kill 12345", "repaint erase", "timer start 12345 1",
                   "repaint", "repaint", "repaint", "view on", "repaint erase", "timer kill 12345",
                   "repaint erase", "repaint"}));
  EXPECT_EQ(run.boxes.boxes, std::vector<RecordedBox>{kComplete});
  EXPECT_TRUE(ImageHolds(run.image, records, 2));
  EXPECT_FALSE(run.link.Download.DownloadRunning);
  EXPECT_FALSE(run.port.IsOpen());
}

TEST(LogDownload, PausesAfterLogAndAfterEndOnTheVirtualClock) {
  Conversation run(MeterWith(1));
  run.Download();
  const std::vector<vm::CallRecord>& calls = run.bus.Calls();
  const auto at = [&calls](const std::string& call, int occurrence = 1) {
    for (const vm::CallRecord& record : calls) {
      if (record.call == call && --occurrence == 0) {
        return record.timeUs;
      }
    }
    return vm::Micros{-1};
  };
  // "LOG", 200 ms, then the purges that throw its answer away and "GET".
  EXPECT_EQ(at("FT_Purge(1)", 2) - at("FT_Write(" + kLog + ")"), 200'000);
  // "END", 100 ms, then the port is closed.
  EXPECT_GE(at("FT_Close") - at("FT_Write(" + kEnd + ")"), 100'000);
  // A record reply of 68 bytes never fills a read of 100: each tick lasts one read time-out.
  EXPECT_EQ(at("FT_Write(06)") - at("FT_Write(" + kGet + ")"), 200'000);
}

TEST(LogDownload, EmptyLogIsAcknowledgedAndEndsWithViewGray) {
  Conversation run(MeterWith(0));
  run.Download();
  EXPECT_EQ(run.WireFrom(kGet), (Lines{Sent(kGet), Received(kEndOfLog), Sent("06"), Sent(kEnd)}));
  EXPECT_EQ(run.boxes.boxes, std::vector<RecordedBox>{kComplete});
  EXPECT_EQ(CountOf(run.window.events, "view on"), 0u);
  EXPECT_FALSE(run.window.viewEnabled);
  EXPECT_TRUE(ImageHolds(run.image, {}, 0));
}

TEST(LogDownload, ProgressShowsTheRecordsBeforeTheOneBeingHandled) {
  Conversation run(MeterWith(3));
  run.Download();
  // Start (erase), records 1 to 3 and the end of log (n - 1 while record n is handled), the full
  // bar at completion, then the bar's removal.
  EXPECT_EQ(run.window.shown, (std::vector<int>{0, 0, 1, 2, 3, 1568, 1568, 1568}));
  EXPECT_EQ(run.link.Download.ProgressTotal, 1568);
}

struct FaultCase {
  const char* name;
  const char* faults;  // scenario lines for the meter of 3 records
  bool complete;
  int recordsStored;
  int ticks;  // -1: not checked
};

TEST(LogDownload, RepliesThatArriveLateSplitOrWrong) {
  const FaultCase cases[] = {
      {"3 bytes, then the rest on the next tick: joined", "fault GET 1 split 3 250", true, 3, 5},
      {"6 bytes examined alone: the frame is short", "fault GET 1 split 6 250", false, 0, 1},
      {"reply completed on the 10th tick", "fault GET 2 slow 1900", true, 3, 13},
      {"reply completed on the 11th tick", "fault GET 2 slow 2100", false, 1, 12},
      {"silent meter: the 11th idle tick fails", "fault GET every silence", false, 0, 11},
      {"NAK alone is never examined: idle ticks", "fault GET 2 nak", false, 1, 12},
      {"first byte not ACK", "fault GET 3 garble", false, 2, 3},
      {"bad checksum", "fault GET 1 bad-checksum", false, 0, 1},
  };
  for (const FaultCase& test : cases) {
    SCOPED_TRACE(test.name);
    const std::vector<vm::RecordBytes> records = vm::GeneratedRecords(3);
    vm::BusConfig config = Scenario(std::string("device\n  records 0\n  ") + test.faults);
    config.adapters[0].meter->records = records;
    Conversation run(std::move(config));
    const int ticks = run.Download();

    EXPECT_EQ(run.boxes.boxes, std::vector<RecordedBox>{test.complete ? kComplete : kHandshake});
    EXPECT_EQ(run.link.Download.RecordsReceived, test.recordsStored);
    EXPECT_TRUE(ImageHolds(run.image, records, static_cast<std::size_t>(test.recordsStored)));
    EXPECT_EQ(run.window.viewEnabled, test.complete);
    if (test.ticks >= 0) {
      EXPECT_EQ(ticks, test.ticks);
    }
    const Lines wire = run.bus.WireLog();
    // A failed download sends neither ACK for the bad reply nor "END".
    EXPECT_EQ(CountOf(wire, Sent(kEnd)), test.complete ? 1u : 0u);
    EXPECT_EQ(CountOf(wire, Sent("06")),
              static_cast<std::size_t>(test.recordsStored + (test.complete ? 1 : 0)));
    EXPECT_FALSE(run.port.IsOpen());
    EXPECT_TRUE(run.window.timers.empty());
  }
}

TEST(LogDownload, FullLogEndsWithEndAndEnablesView) {
  const std::vector<vm::RecordBytes> records = vm::GeneratedRecords(kSlotCount);
  Conversation run(vm::OneMeter(records));
  run.Download();

  const Lines wire = run.bus.WireLog();
  ASSERT_GE(wire.size(), 3u);
  EXPECT_EQ(Lines(wire.end() - 3, wire.end()),
            (Lines{AckAnd(FrameHex(records.back())), Sent("06"), Sent(kEnd)}));
  EXPECT_EQ(CountOf(wire, Sent(kGet)), static_cast<std::size_t>(kSlotCount));
  EXPECT_EQ(run.boxes.boxes, std::vector<RecordedBox>{kComplete});
  EXPECT_TRUE(run.window.viewEnabled);
  EXPECT_TRUE(ImageHolds(run.image, records, kSlotCount));
  EXPECT_EQ(CountRecords(run.image, nullptr), kSlotCount);
  EXPECT_EQ(run.window.shown.back(), kSlotCount);
}

TEST(LogDownload, ShortRecordLeavesTheRestOfItsSlotZero) {
  const std::vector<vm::RecordBytes> records = vm::GeneratedRecords(2);
  vm::BusConfig config = Scenario("device\n  records 0\n  fault GET 2 short 10");
  config.adapters[0].meter->records = records;
  Conversation run(std::move(config));
  run.Download();

  ASSERT_EQ(run.link.Download.RecordsReceived, 2);
  vm::RecordBytes expected{};
  std::copy_n(records[1].begin(), 10, expected.begin());
  const auto slot = run.image.Slot(1);
  EXPECT_TRUE(std::equal(slot.begin(), slot.end(), expected.begin()));
}

TEST(LogDownload, ReadCommandDuringADownloadStartsAgainFromSlotZero) {
  const std::vector<vm::RecordBytes> records = vm::GeneratedRecords(5);
  Conversation run(vm::OneMeter(records));
  StartDownload(run.link, &run.window);
  run.RunTimer(3);
  ASSERT_EQ(run.link.Download.RecordsReceived, 3);
  run.bus.ClearLogs();
  run.window.events.clear();

  run.Download();
  // The reply to the last "GET" of the first download is waited out and purged first.
  const Lines calls = run.bus.CallLog();
  EXPECT_EQ(Lines(calls.begin(), calls.begin() + 4),
            (Lines{"FT_Read(100) -> 68", "FT_Purge(1)", "FT_Close", "FT_Open(0)"}));
  EXPECT_EQ(run.window.events.front(), "view off");
  EXPECT_EQ(run.window.events[1], "timer kill 12345");
  EXPECT_EQ(run.link.Download.RecordsReceived, 5);
  EXPECT_TRUE(ImageHolds(run.image, records, 5));
  EXPECT_EQ(run.boxes.boxes, std::vector<RecordedBox>{kComplete});
}

TEST(LogDownload, PortThatCannotBeOpenedLeavesAnEmptyImageAndNoTimer) {
  Conversation run(vm::BusConfig{});
  run.image.bytes.fill('A');
  run.Download();
  EXPECT_EQ(run.boxes.boxes, testing::OneBox(msg::kUsbPortError, BoxKind::Error));
  EXPECT_TRUE(ImageHolds(run.image, {}, 0));
  EXPECT_EQ(run.window.events, (Lines{"view off", "timer kill 12345", "repaint erase"}));
  EXPECT_FALSE(run.link.Download.DownloadRunning);
  EXPECT_EQ(run.link.Download.ProgressShown, 0);
  EXPECT_EQ(run.link.Download.ProgressTotal, 1568);
}

TEST(LogDownload, AdapterThatDiffersIsReprogrammedAndNothingIsSent) {
  vm::BusConfig config = MeterWith(2);
  config.adapters[0].eeprom = vm::FactoryDefaultEeprom();
  Conversation run(std::move(config));
  run.Download();

  EXPECT_EQ(run.boxes.Indexes(), std::vector<int>{msg::kDeviceUpgraded});
  EXPECT_EQ(run.bus.CallLog(),
            (Lines{"FT_Open(0)", "FT_ClrDtr", "FT_SetBaudRate(115200)",
                   "FT_SetDataCharacteristics(8,0,0)", "FT_SetFlowControl(0,0,0)", "FT_EE_Read",
                   "FT_EE_Program", "FT_CyclePort", "FT_Close -> FT_IO_ERROR"}));
  EXPECT_EQ(run.bus.Adapter(0).Eeprom().description, "Quorvel KLXR");
  EXPECT_TRUE(run.window.timers.empty());
  EXPECT_FALSE(run.port.IsOpen());
}

TEST(LogDownload, WithoutDriverLibraryNothingChanges) {
  Conversation run(MeterWith(2));
  run.link.DriverLibrary = nullptr;
  run.image.bytes.fill('A');
  run.Download();
  EXPECT_EQ(run.boxes.boxes, testing::OneBox(msg::kInstallUsbDriverFirst, BoxKind::Error));
  EXPECT_TRUE(run.window.events.empty());
  EXPECT_TRUE(run.bus.Calls().empty());
  EXPECT_EQ(run.image.bytes.front(), 'A');
}

TEST(LogDownload, AdapterUnpluggedDuringTheDownloadFailsAfterTheIdleTicks) {
  vm::BusConfig config = MeterWith(5);
  // The lead goes once the answer to "LOG" and two record replies have reached the host: the read
  // waiting for the second record fails, and so does every read after it.
  config.adapters[0].vanish = vm::VanishRule{vm::VanishTrigger::kAfterReplies, 3, 0};
  Conversation run(std::move(config));
  const int ticks = run.Download();
  EXPECT_EQ(run.boxes.boxes, std::vector<RecordedBox>{kHandshake});
  EXPECT_EQ(ticks, 1 + 11);
  EXPECT_EQ(run.link.Download.RecordsReceived, 1);
  EXPECT_FALSE(run.window.viewEnabled);
  EXPECT_TRUE(run.window.timers.empty());
}

// Message boxes that deliver a timer tick while they are up, as a nested message loop does, and
// note the driver calls that tick made.
class TickingBoxes : public testing::RecordingMessageBoxes {
 public:
  void Show(int index, std::string_view text, BoxKind kind) override {
    RecordingMessageBoxes::Show(index, text, kind);
    const std::size_t before = bus->Calls().size();
    DownloadStep(*link, window);
    nestedCalls += bus->Calls().size() - before;
  }
  const vm::VirtualBus* bus = nullptr;
  MeterLink* link = nullptr;
  DownloadWindow* window = nullptr;
  std::size_t nestedCalls = 0;
};

TEST(LogDownload, TickWhileItsBoxIsUpDoesNothing) {
  vm::VirtualBus bus(MeterWith(1));
  const d2xx::D2xxFunctions driver = vm::VirtualBus::Functions();
  ComAccess port(driver);
  LogImage image;
  TickingBoxes boxes;
  MeterLink link(image, boxes);
  link.DriverLibrary = &driver;
  link.SharedPort = &port;
  link.Sleep = bus.SleepFunction();
  testing::RecordingWindow window;
  boxes.bus = &bus;
  boxes.link = &link;
  boxes.window = &window;

  StartDownload(link, &window);
  for (int tick = 0; tick < 10 && !window.timers.empty(); ++tick) {
    DownloadStep(link, &window);
  }
  EXPECT_EQ(boxes.Indexes(), std::vector<int>{msg::kTransferComplete});
  EXPECT_EQ(boxes.nestedCalls, 0u);
  EXPECT_TRUE(window.timers.empty());
}

}  // namespace
}  // namespace klxr
