// Fast and paced transfer side by side on the in-process virtual meter's virtual clock: the same
// scenario run both ways must give the same bytes on the wire, the same boxes, the same window
// events and the same log image. The fast run's download timer ticks every virtual millisecond,
// and no step may wait or read more than the driver holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "conversation_fixture.h"
#include "link/log_download.h"
#include "link/log_erase.h"
#include "link/meter_discovery.h"

namespace klxr {
namespace {

using testing::Conversation;
using testing::Lines;
using testing::RecordedBox;
using testing::Scenario;

struct Outcome {
  Lines wire;
  std::vector<RecordedBox> boxes;
  Lines events;
  int records = 0;
  std::vector<std::uint8_t> image;
  bool portOpen = false;
  vm::Micros elapsed = 0;
};

// What the fast run's driver calls and steps must never do.
struct FastConduct {
  vm::Micros longestStep = 0;  // virtual time one step took (it must never wait)
  int sleeps = 0;              // the program's own pauses during the download
  int readsBeyondQueue = 0;    // reads asking for more than the last queue count
  int reads = 0;
};

// Each FT_Read asks for no more than the FT_GetQueueStatus before it reported.
void CheckReads(const Lines& calls, FastConduct& conduct) {
  long waiting = -1;
  for (const std::string& call : calls) {
    if (call.rfind("FT_GetQueueStatus -> ", 0) == 0) {
      waiting = std::atol(call.c_str() + 21);
    } else if (call.rfind("FT_Read(", 0) == 0) {
      ++conduct.reads;
      const long asked = std::atol(call.c_str() + 8);
      conduct.readsBeyondQueue += asked > waiting ? 1 : 0;
      waiting = -1;
    }
  }
}

Outcome Collect(Conversation& run, vm::Micros start) {
  Outcome outcome;
  outcome.wire = run.bus.WireLog();
  outcome.boxes = run.boxes.boxes;
  outcome.events = run.window.events;
  outcome.records = run.link.Download.RecordsReceived;
  outcome.image.assign(run.image.bytes.begin(), run.image.bytes.end());
  outcome.portOpen = run.port.IsOpen();
  outcome.elapsed = run.bus.Now() - start;
  return outcome;
}

// Makes the run transfer fast: the driver with the optional functions, the bus's clock.
void MakeFast(Conversation& run) {
  run.driver = vm::VirtualBus::FastFunctions();
  run.link.Now = run.bus.NowFunction();
}

Outcome PacedDownload(const vm::BusConfig& config) {
  Conversation run(config);
  run.link.Transfer = TransferMode::kPaced;
  const vm::Micros start = run.bus.Now();
  run.Download();
  return Collect(run, start);
}

Outcome FastDownload(const vm::BusConfig& config, FastConduct& conduct) {
  Conversation run(config);
  MakeFast(run);
  run.link.Sleep = [&conduct](std::uint32_t) { ++conduct.sleeps; };
  const vm::Micros start = run.bus.Now();
  StartDownload(run.link, &run.window);
  for (int tick = 0; tick < 100000 && run.window.timers.count(cmd::kDownloadTimerId) != 0; ++tick) {
    const vm::Micros before = run.bus.Now();
    DownloadStep(run.link, &run.window);
    conduct.longestStep = std::max(conduct.longestStep, run.bus.Now() - before);
    run.bus.Sleep(1);  // the download timer's period
  }
  CheckReads(run.bus.CallLog(), conduct);
  return Collect(run, start);
}

void ExpectSameOutcome(const Outcome& paced, const Outcome& fast) {
  EXPECT_EQ(fast.wire, paced.wire);
  EXPECT_EQ(fast.boxes, paced.boxes);
  EXPECT_EQ(fast.events, paced.events);
  EXPECT_EQ(fast.records, paced.records);
  EXPECT_TRUE(fast.image == paced.image);
  EXPECT_FALSE(fast.portOpen);
  EXPECT_FALSE(paced.portOpen);
}

struct DownloadCase {
  const char* name;
  int records;
  const char* scenarioLines;  // for the one meter
  bool completes;
  int recordsStored;
};

const DownloadCase kDownloadCases[] = {
    {"three records", 3, "", true, 3},
    {"empty log: the end at once", 0, "", true, 0},
    {"answer to LOG late but inside its wait", 3, "fault LOG 1 slow 150", true, 3},
    {"answer to LOG after its wait: ahead of the first reply", 3, "fault LOG 1 slow 260", false, 0},
    {"silent meter", 3, "fault GET every silence", false, 0},
    {"silence after one record", 3, "fault GET 2+ silence", false, 1},
    {"NAK is never examined: the time runs out", 3, "fault GET 2 nak", false, 1},
    {"first byte not ACK", 3, "fault GET 3 garble", false, 2},
    {"bad checksum", 3, "fault GET 2 bad-checksum", false, 1},
    {"split after 3 bytes, rest 250 ms later: joined", 3, "fault GET 1 split 3 250", true, 3},
    {"split after 10 bytes, rest 20 ms later: joined", 3, "fault GET 2 split 10 20", true, 3},
    {"split after 6 bytes, rest 250 ms later: examined short", 3, "fault GET 1 split 6 250", false,
     0},
    {"split after 40 bytes, rest 2.5 s later", 3, "fault GET 2 split 40 2500", false, 1},
    {"late reply just inside the limit", 3, "fault GET 2 slow 1900", true, 3},
    {"late reply just outside the limit", 3, "fault GET 2 slow 2050", false, 1},
    {"payload of 2 bytes: a record of zeros after them", 3, "fault GET 2 short 2", true, 3},
    {"payload of 1 byte: never more than five bytes", 3, "fault GET 2 short 1", false, 1},
    {"adapter unplugged after the second reply", 5, "vanish after-replies 3", false, 1},
    {"adapter unplugged while the answer to LOG comes", 5, "vanish at-ms 1", false, 0},
};

void CheckDownloadCase(const DownloadCase& c) {
  const std::string text =
      "device\n  records " + std::to_string(c.records) + "\n  " + c.scenarioLines + "\n";
  const vm::BusConfig config = Scenario(text);
  const Outcome paced = PacedDownload(config);
  FastConduct conduct;
  const Outcome fast = FastDownload(config, conduct);

  ExpectSameOutcome(paced, fast);
  EXPECT_EQ(fast.records, c.recordsStored);
  const bool complete = std::any_of(fast.boxes.begin(), fast.boxes.end(), [](const auto& box) {
    return box.index == msg::kTransferComplete;
  });
  EXPECT_EQ(complete, c.completes);
  EXPECT_EQ(conduct.longestStep, 0);
  EXPECT_EQ(conduct.sleeps, 0);
  EXPECT_EQ(conduct.readsBeyondQueue, 0);
}

TEST(FastAndPacedDownload, SameWireBoxesEventsAndImage) {
  for (const DownloadCase& c : kDownloadCases) {
    SCOPED_TRACE(c.name);
    CheckDownloadCase(c);
  }
}

TEST(FastDownload, FullImageEndsWithoutAskingForTheEnd) {
  const vm::BusConfig config = testing::MeterWith(kSlotCount);
  const Outcome paced = PacedDownload(config);
  FastConduct conduct;
  const Outcome fast = FastDownload(config, conduct);
  ExpectSameOutcome(paced, fast);
  EXPECT_EQ(fast.records, kSlotCount);
  EXPECT_EQ(conduct.readsBeyondQueue, 0);
  // 2 ms of latency a reply instead of a 200 ms read time-out: well under 15 s for a full log.
  EXPECT_LT(fast.elapsed, 15'000'000);
  EXPECT_GT(paced.elapsed, 300'000'000);
}

TEST(FastDownload, SetsTheLatencyTimerAndAsksTheQueueBeforeEachRead) {
  Conversation run(testing::MeterWith(1));
  MakeFast(run);
  StartDownload(run.link, &run.window);
  const Lines calls = run.bus.CallLog();
  const auto latency = std::find(calls.begin(), calls.end(), "FT_SetLatencyTimer(2)");
  const auto timeouts = std::find(calls.begin(), calls.end(), "FT_SetTimeouts(200,1000)");
  EXPECT_NE(latency, calls.end());
  EXPECT_LT(latency, timeouts);
  EXPECT_EQ(run.bus.Adapter(0).LatencyTimerMs(), 2);
  EXPECT_EQ(calls.back(), "FT_Write(" + testing::kLogFrame + ")");
}

TEST(FastDownload, DriverWithoutTheOptionalFunctionsTransfersPaced) {
  Conversation run(testing::MeterWith(2));
  run.link.Now = run.bus.NowFunction();  // fast asked for, but the table lacks the functions
  EXPECT_FALSE(UsesFastTransfer(run.link));
  run.Download();
  const Lines calls = run.bus.CallLog();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "FT_Read(100) -> 68"), calls.end());
  EXPECT_EQ(run.bus.Adapter(0).LatencyTimerMs(), 16);
  EXPECT_EQ(run.link.Download.RecordsReceived, 2);
}

TEST(FastDownload, StoppedWhileWaitingForTheLogAnswerLeavesNothingRunning) {
  Conversation run(testing::MeterWith(3));
  MakeFast(run);
  StartDownload(run.link, &run.window);
  AbandonDownload(run.link, &run.window);
  EXPECT_FALSE(run.link.Download.DownloadRunning);
  EXPECT_FALSE(run.port.IsOpen());
  // A new download starts from the answer to "LOG" again.
  run.window.events.clear();
  StartDownload(run.link, &run.window);
  EXPECT_EQ(run.link.Download.Phase, DownloadPhase::kAwaitingLogAnswer);
}

// Erase and discovery wait inside their call either way; fast transfer ends each wait the moment
// the answer is in.
struct EraseCase {
  const char* name;
  const char* scenarioLines;
  bool erased;
};

const EraseCase kEraseCases[] = {
    {"erased", "", true},
    {"silent meter", "fault LOG every silence\n  fault ERASE every silence", false},
    {"LOG answered with NAK", "fault LOG 1 nak", false},
    {"LOG answer garbled", "fault LOG 1 garble", false},
    {"ERASE answered with NAK", "fault ERASE 1 nak", false},
    {"ERASE answer with a bad checksum", "fault ERASE 1 bad-checksum", false},
    {"ERASE answer split", "fault ERASE 1 split 4 300", true},
    {"ERASE answer just inside its ten seconds", "fault ERASE 1 slow 8400", true},
    {"ERASE answer just outside its ten seconds", "fault ERASE 1 slow 8600", false},
    {"LOG answer just inside its second", "fault LOG 1 slow 950", true},
    {"adapter unplugged during the erase", "vanish at-ms 500", false},
};

struct EraseOutcome {
  Lines wire;
  std::vector<RecordedBox> boxes;
  bool portOpen = false;
  vm::Micros elapsed = 0;
};

EraseOutcome Erase(const vm::BusConfig& config, bool fast) {
  Conversation run(config);
  if (fast) {
    MakeFast(run);
  }
  const vm::Micros start = run.bus.Now();
  EraseMeterLog(run.link, &run.window);
  return {run.bus.WireLog(), run.boxes.boxes, run.port.IsOpen(), run.bus.Now() - start};
}

void CheckEraseCase(const EraseCase& c) {
  const vm::BusConfig config = Scenario(std::string("device\n  ") + c.scenarioLines + "\n");
  const EraseOutcome paced = Erase(config, false);
  const EraseOutcome fast = Erase(config, true);
  EXPECT_EQ(fast.wire, paced.wire);
  EXPECT_EQ(fast.boxes, paced.boxes);
  EXPECT_FALSE(fast.portOpen);
  EXPECT_LE(fast.elapsed, paced.elapsed);
  const bool erased = !fast.boxes.empty() && fast.boxes.front().index == msg::kLogErased;
  EXPECT_EQ(erased, c.erased);
}

TEST(FastAndPacedErase, SameWireAndBoxes) {
  for (const EraseCase& c : kEraseCases) {
    SCOPED_TRACE(c.name);
    CheckEraseCase(c);
  }
}

TEST(FastErase, EndsTheWaitForTheEraseAsSoonAsItIsConfirmed) {
  const vm::BusConfig config = testing::MeterWith(3);
  const EraseOutcome paced = Erase(config, false);
  const EraseOutcome fast = Erase(config, true);
  // Paced: 200 ms for the answer to "LOG", eight reads of 200 ms over the 1.5 s erase, 100 ms after
  // "END". Fast: the erase time itself and the pause after "END".
  EXPECT_GE(paced.elapsed, 1'900'000);
  EXPECT_LT(fast.elapsed, 1'700'000);
}

TEST(FastAndPacedDiscovery, SameMetersAndWire) {
  const char* const scenario =
      "device\n  version \"KLXR A\"\n"
      "device\n  no-meter\n"
      "device\n  in-use\n"
      "device factory-default\n"
      "device\n  version \"KLXR NAK\"\n  fault VERSION 1 nak\n"
      "device\n  version \"KLXR GARBLED\"\n  fault VERSION 1 garble\n"
      "device\n  version \"KLXR INSIDE\"\n  fault VERSION 1 slow 950\n"
      "device\n  version \"KLXR OUTSIDE\"\n  fault VERSION 1 slow 1050\n"
      "device\n  version \"KLXR SPLIT\"\n  fault VERSION 1 split 3 100\n"
      "device\n  version \"KLXR BAD\"\n  fault VERSION 1 bad-checksum\n"
      "device\n  version \"KLXR LAST\"\n";
  const vm::BusConfig config = Scenario(scenario);
  Lines pacedWire;
  std::vector<std::string> pacedTexts;
  {
    Conversation run(config);
    CollectedMeters list;
    DiscoverMeters(run.link, &list);
    pacedWire = run.bus.WireLog();
    pacedTexts = list.texts;
  }
  Conversation run(config);
  MakeFast(run);
  CollectedMeters list;
  const vm::Micros start = run.bus.Now();
  EXPECT_EQ(DiscoverMeters(run.link, &list), 4);
  EXPECT_EQ(list.texts,
            (std::vector<std::string>{"KLXR A", "KLXR INSIDE", "KLXR SPLIT", "KLXR LAST"}));
  EXPECT_EQ(list.texts, pacedTexts);
  EXPECT_EQ(run.bus.WireLog(), pacedWire);
  FastConduct conduct;
  CheckReads(run.bus.CallLog(), conduct);
  EXPECT_EQ(conduct.readsBeyondQueue, 0);
  EXPECT_GT(conduct.reads, 0);
  // The silent, NAK, garbled, late and bad devices wait their second out; the rest answer at once.
  EXPECT_LT(run.bus.Now() - start, 6'500'000);
}

}  // namespace
}  // namespace klxr
