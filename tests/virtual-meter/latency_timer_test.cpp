// The three functions of fast transfer on the virtual bus: the receive queue count, which never
// waits, and the latency timer, which decides when the last bytes of a reply leave the chip and
// lasts until the adapter is cycled or unplugged. On the virtual clock, so times are exact.
#include <gtest/gtest.h>

#include "meter_host.h"
#include "virtual-meter/scenario_parser.h"

namespace klxr::vm {
namespace {

using testing::AckFrame;

struct FastHost {
  FastHost() : driver(VirtualBus::FastFunctions()) {
    driver.FT_Open(0, &handle);
    driver.FT_SetBaudRate(handle, 115200);
    driver.FT_SetDataCharacteristics(handle, d2xx::FT_BITS_8, d2xx::FT_STOP_BITS_1,
                                     d2xx::FT_PARITY_NONE);
    driver.FT_SetTimeouts(handle, 200, 1000);
  }
  void Send(std::string_view word) {
    Bytes frame = MakeFrame(word);
    d2xx::DWORD written = 0;
    driver.FT_Write(handle, frame.data(), static_cast<d2xx::DWORD>(frame.size()), &written);
  }
  d2xx::DWORD Waiting() {
    d2xx::DWORD count = 999;
    status = driver.FT_GetQueueStatus(handle, &count);
    return count;
  }
  int Latency() {
    d2xx::UCHAR ms = 0;
    status = driver.FT_GetLatencyTimer(handle, &ms);
    return ms;
  }
  // Polls the queue every millisecond until `count` bytes wait; the time they were all there.
  Micros TimeUntilWaiting(VirtualBus& bus, d2xx::DWORD count) {
    while (Waiting() < count && bus.Now() < 1'000'000) {
      bus.Sleep(1);
    }
    return bus.Now();
  }

  d2xx::D2xxFunctions driver;
  d2xx::FT_HANDLE handle = nullptr;
  d2xx::FT_STATUS status = d2xx::FT_OK;
};

BusConfig MeterOf(int records) {
  return OneMeter(GeneratedRecords(records));
}

TEST(LatencyTimer, SettingsAcceptedAndRefused) {
  VirtualBus bus(MeterOf(1));
  FastHost host;
  EXPECT_EQ(host.Latency(), 16);
  const struct {
    int ms;
    d2xx::FT_STATUS status;
    int kept;
  } cases[] = {{2, d2xx::FT_OK, 2},
               {255, d2xx::FT_OK, 255},
               {1, d2xx::FT_INVALID_PARAMETER, 255},
               {0, d2xx::FT_INVALID_PARAMETER, 255},
               {16, d2xx::FT_OK, 16}};
  for (const auto& c : cases) {
    EXPECT_EQ(host.driver.FT_SetLatencyTimer(host.handle, static_cast<d2xx::UCHAR>(c.ms)), c.status)
        << c.ms;
    EXPECT_EQ(host.Latency(), c.kept) << c.ms;
  }
  EXPECT_EQ(host.driver.FT_GetLatencyTimer(host.handle, nullptr), d2xx::FT_INVALID_PARAMETER);
  EXPECT_EQ(host.driver.FT_GetQueueStatus(host.handle, nullptr), d2xx::FT_INVALID_PARAMETER);
}

TEST(LatencyTimer, LastsAcrossReopeningUntilCycledOrUnplugged) {
  VirtualBus bus(MeterOf(1));
  {
    FastHost host;
    host.driver.FT_SetLatencyTimer(host.handle, 2);
    host.driver.FT_Close(host.handle);
  }
  {
    FastHost host;
    EXPECT_EQ(host.Latency(), 2);  // kept over close and open
    host.driver.FT_CyclePort(host.handle);
    host.driver.FT_Close(host.handle);
  }
  {
    FastHost host;
    EXPECT_EQ(host.Latency(), 16);  // the chip was reset
    host.driver.FT_SetLatencyTimer(host.handle, 4);
    host.driver.FT_Close(host.handle);
  }
  bus.Unplug(0);
  bus.Replug(0);
  FastHost host;
  EXPECT_EQ(host.Latency(), 16);
}

TEST(LatencyTimer, ScenarioSetsTheDefault) {
  ParsedConfig parsed = ParseScenario("device\n  usb-latency-ms 5\n");
  ASSERT_TRUE(parsed.Ok());
  VirtualBus bus(std::move(parsed.config));
  FastHost host;
  EXPECT_EQ(host.Latency(), 5);
}

TEST(LatencyTimer, DecidesWhenTheLastBytesOfARecordReplyArrive) {
  // "GET" crosses the line in 0.521 ms, the meter answers 0.5 ms later, and the 68 bytes of the
  // reply have entered the chip 5.903 ms after that, at 6.924 ms.
  const Micros lastByteInChip = 6924;
  for (const int latency : {2, 16}) {
    VirtualBus bus(MeterOf(2));
    FastHost host;
    host.driver.FT_SetLatencyTimer(host.handle, static_cast<d2xx::UCHAR>(latency));
    host.Send("LOG");
    host.TimeUntilWaiting(bus, 1);
    host.driver.FT_Purge(host.handle, d2xx::FT_PURGE_RX);
    const Micros start = bus.Now();
    host.Send("GET");
    const Micros complete = host.TimeUntilWaiting(bus, 68) - start;
    EXPECT_GT(complete, lastByteInChip) << latency;
    EXPECT_LE(complete, lastByteInChip + latency * 1000 + 1000) << latency;
    if (latency == 2) {
      EXPECT_LT(complete, 10'000);
    } else {
      EXPECT_GT(complete, 16'000);
    }
  }
}

TEST(QueueStatus, CountsWhatHasArrivedWithoutWaiting) {
  VirtualBus bus(MeterOf(1));
  FastHost host;
  host.driver.FT_SetLatencyTimer(host.handle, 2);
  host.Send("VERSION");
  const Micros before = bus.Now();
  EXPECT_EQ(host.Waiting(), 0u);
  EXPECT_EQ(bus.Now(), before);
  bus.Sleep(50);
  const Bytes expected = AckFrame(kDefaultVersionText);
  EXPECT_EQ(host.Waiting(), expected.size());
  // A read of exactly what waits returns at once with it; the queue is then empty.
  Bytes got(expected.size());
  d2xx::DWORD count = 0;
  host.driver.FT_Read(host.handle, got.data(), static_cast<d2xx::DWORD>(got.size()), &count);
  EXPECT_EQ(bus.Now(), before + 50'000);
  EXPECT_EQ(got, expected);
  EXPECT_EQ(host.Waiting(), 0u);
  EXPECT_EQ(bus.CallLog().back(), "FT_GetQueueStatus -> 0");
}

TEST(QueueStatus, FailsOnClosedAndVanishedAdapters) {
  ParsedConfig parsed = ParseScenario("device\n  vanish at-ms 10\n");
  ASSERT_TRUE(parsed.Ok());
  VirtualBus bus(std::move(parsed.config));
  FastHost host;
  EXPECT_EQ(host.Waiting(), 0u);
  EXPECT_EQ(host.status, d2xx::FT_OK);
  bus.Sleep(10);
  host.Waiting();
  EXPECT_EQ(host.status, d2xx::FT_IO_ERROR);
  host.driver.FT_Close(host.handle);
  host.Waiting();
  EXPECT_EQ(host.status, d2xx::FT_INVALID_HANDLE);
  EXPECT_EQ(host.driver.FT_SetLatencyTimer(host.handle, 2), d2xx::FT_INVALID_HANDLE);
}

}  // namespace
}  // namespace klxr::vm
