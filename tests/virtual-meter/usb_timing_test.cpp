// The timing model: bytes at 115200 baud, USB packets of 62 data bytes sent at once when full and
// otherwise when the 16 ms latency timer runs out; FT_Read with its time-out; purging. All on the
// virtual clock, so the times are exact.
#include <gtest/gtest.h>

#include "meter_host.h"
#include "virtual-meter/usb_receive_pipe.h"

namespace klxr::vm {
namespace {

using testing::MeterHost;

TEST(UsbTiming, LineTimeOfCharacters) {
  struct Case {
    std::int64_t count;
    std::uint32_t baud;
    int bits;
    Micros expected;
  };
  const Case cases[] = {
      {1, 115200, 10, 87},    {6, 115200, 10, 521}, {62, 115200, 10, 5382},
      {68, 115200, 10, 5903}, {1, 9600, 10, 1042},  {1, 115200, 12, 104},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LineTime(c.count, c.baud, c.bits), c.expected) << c.count << " at " << c.baud;
  }
}

struct Delivery {
  Micros entered;
  Micros arrival;
};

// Pushes bytes entering the chip at the given times into a pipe opened at 0, and gives each one's
// arrival at the host.
std::vector<Delivery> Deliver(const std::vector<Micros>& entered, UsbTiming timing) {
  std::vector<Delivery> deliveries;
  UsbReceivePipe pipe(timing, [&deliveries](const WireByte& byte, Micros arrival) {
    deliveries.push_back({byte.entered, arrival});
  });
  pipe.Restart(0);
  for (Micros time : entered) {
    pipe.Push(WireByte{0, time, 0, 0});
  }
  pipe.DeliverUntil(1'000'000);
  return deliveries;
}

std::vector<Micros> Spaced(std::size_t count, Micros first, Micros step) {
  std::vector<Micros> times;
  for (std::size_t i = 0; i < count; ++i) {
    times.push_back(first + static_cast<Micros>(i) * step);
  }
  return times;
}

// `firstCount` times `first`, then `restCount` times `rest`.
std::vector<Micros> Runs(std::size_t firstCount, Micros first, std::size_t restCount, Micros rest) {
  std::vector<Micros> times(firstCount, first);
  times.insert(times.end(), restCount, rest);
  return times;
}

TEST(UsbTiming, PacketsLeaveWhenFullOrWhenTheLatencyTimerRunsOut) {
  struct Case {
    std::string name;
    std::vector<Micros> entered;
    UsbTiming timing;
    std::vector<Micros> arrivals;  // per byte
  };
  const Case cases[] = {
      {"one byte waits for the timer", {1000}, {}, {16000}},
      {"the timer keeps its period when idle", {40000}, {}, {48000}},
      {"a byte at the very moment the timer runs out", {32000}, {}, {32000}},
      {"62 bytes leave at once, the rest a period later",
       Spaced(68, 100, 10),
       {},
       Runs(62, 710, 6, 16710)},
      {"a full packet restarts the timer", Runs(62, 5000, 6, 22000), {}, Runs(62, 5000, 6, 37000)},
      {"a shorter latency", {1000, 3500}, {64, 2000}, {2000, 4000}},
      {"smaller packets", Spaced(5, 100, 1), {5, 16000}, Runs(3, 102, 2, 16102)},
  };
  for (const Case& c : cases) {
    const std::vector<Delivery> deliveries = Deliver(c.entered, c.timing);
    std::vector<Micros> arrivals;
    for (const Delivery& delivery : deliveries) {
      arrivals.push_back(delivery.arrival);
    }
    EXPECT_EQ(arrivals, c.arrivals) << c.name;
  }
}

// The reply to "GET" that follows "LOG": with the adapter opened at 0, the ACK to "LOG" leaves with
// the latency timer at 16 ms; "GET" is written then and crosses the line in 521 us; the meter takes
// 500 us; the 62nd reply byte enters the chip 5382 us later, at 22403 us, and leaves at once with
// the 61 before it; the last 6 bytes leave when the restarted timer runs out, at 38403 us.
TEST(UsbTiming, ARecordReplyArrivesAsA62BytePacketAndTheRestOneLatencyLater) {
  VirtualBus bus(OneMeter(GeneratedRecords(2)));
  MeterHost host;
  ASSERT_EQ(host.Ask("LOG", 1), Bytes{kAck});
  EXPECT_EQ(bus.Now(), 16000);
  EXPECT_EQ(host.Ask("GET", 68).size(), 68u);
  EXPECT_EQ(bus.Now(), 38403);

  const TranscriptEntry& reply = bus.Transcript().back();
  EXPECT_EQ(reply.timeUs, 16000 + 521 + 500);
  EXPECT_EQ(std::count(reply.arrivalUs.begin(), reply.arrivalUs.end(), 22403), 62);
  EXPECT_EQ(std::count(reply.arrivalUs.begin(), reply.arrivalUs.end(), 38403), 6);
}

TEST(UsbTiming, AReadReturnsWhenItsCountHasArrivedOrAtItsTimeOut) {
  VirtualBus bus(OneMeter(GeneratedRecords(2)));
  MeterHost host;
  EXPECT_EQ(host.Read(100), Bytes{});
  EXPECT_EQ(host.status, d2xx::FT_OK) << "a time-out is no failure";
  EXPECT_EQ(bus.Now(), 200'000);
  host.Ask("LOG", 1);
  const Micros sent = bus.Now();
  EXPECT_EQ(host.Ask("GET", 100).size(), 68u) << "fewer than asked, at the time-out";
  EXPECT_EQ(bus.Now(), sent + 200'000);
  EXPECT_EQ(bus.CallLog().back(), "FT_Read(100) -> 68");
}

TEST(UsbTiming, PurgeDiscardsWhatHasArrivedButNotWhatIsStillComing) {
  VirtualBus bus(OneMeter({}));
  MeterHost host;
  host.Send("LOG");
  bus.Sleep(200);
  host.Purge();
  EXPECT_EQ(host.Read(1), Bytes{}) << "the ACK had reached the host's buffer and was purged";
  EXPECT_EQ(bus.Transcript().back().arrivalUs[0], 16'000);

  host.Send("LOG");
  bus.Sleep(10);
  host.Purge();
  EXPECT_EQ(host.Read(1), Bytes{}) << "the ACK waited in the chip and was purged";
  EXPECT_EQ(bus.Transcript().back().arrivalUs[0], UsbReceivePipe::kDiscarded);

  host.Send("LOG");
  host.Purge();
  EXPECT_EQ(host.Read(1), Bytes{kAck}) << "the meter had not answered yet when purged";
}

TEST(UsbTiming, AReopenDropsWhatHasArrivedButNotWhatTheMeterIsStillSending) {
  const RecordBytes record = GeneratedRecords(1)[0];
  VirtualBus bus(OneMeter({record}));
  {
    MeterHost first;
    first.Ask("LOG", 1);
    first.Send("GET");
    first.Close();
  }
  // Opened again at the moment "GET" has gone out: the record reply is still to come.
  MeterHost second;
  EXPECT_EQ(second.Read(100), testing::AckFrame(record));
  second.Close();

  MeterHost third;
  third.Send("VERSION");
  bus.Sleep(10);
  third.Close();
  // The answer to "VERSION" waits in the chip by now, and a re-open drops it.
  MeterHost fourth;
  EXPECT_EQ(fourth.Read(100), Bytes{});
  EXPECT_EQ(bus.Transcript().back().arrivalUs[0], UsbReceivePipe::kDiscarded);
}

TEST(UsbTiming, SleepMovesOnlyTheVirtualClock) {
  VirtualBus bus(OneMeter({}));
  bus.Sleep(200);
  bus.SleepFunction()(100);
  EXPECT_EQ(bus.Now(), 300'000);
}

}  // namespace
}  // namespace klxr::vm
