// klxr-vm-timing-check: checks that the real-time mode keeps to its timing model. It runs the same
// record exchanges ("GET", the 68-byte record reply, the host's ACK) on a virtual clock, which
// gives the model's time, and on the real clock, and compares the two elapsed times.
//
//   klxr-vm-timing-check [EXCHANGES] [--program-reads | --fast]
//
// By default each read asks for exactly the 68 bytes of a reply, so it returns when the reply's
// last packet arrives. With --program-reads each read asks for 100 bytes, as paced transfer does,
// and returns at the 200 ms read time-out. With --fast the latency timer is first set to 2 ms, as
// fast transfer does, and each read asks for the 68 bytes. Exits with 1 when the real time is more
// than 10% off.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "virtual-meter/meter_records.h"
#include "virtual-meter/virtual_bus.h"

namespace klxr::vm {
namespace {

constexpr double kTolerance = 0.10;

struct Run {
  double elapsedMs = 0;
  int goodReplies = 0;
};

void Write(const d2xx::D2xxFunctions& driver, d2xx::FT_HANDLE handle, Bytes bytes) {
  d2xx::DWORD written = 0;
  driver.FT_Write(handle, bytes.data(), static_cast<d2xx::DWORD>(bytes.size()), &written);
}

Run Exchanges(ClockKind clock, int count, d2xx::DWORD readSize, int latencyMs) {
  BusConfig config = OneMeter(GeneratedRecords(count));
  config.clock = clock;
  VirtualBus bus(std::move(config));
  const d2xx::D2xxFunctions driver = VirtualBus::FastFunctions();
  d2xx::FT_HANDLE handle = nullptr;
  driver.FT_Open(0, &handle);
  driver.FT_SetLatencyTimer(handle, static_cast<d2xx::UCHAR>(latencyMs));
  driver.FT_ClrDtr(handle);
  driver.FT_SetBaudRate(handle, 115200);
  driver.FT_SetDataCharacteristics(handle, d2xx::FT_BITS_8, d2xx::FT_STOP_BITS_1,
                                   d2xx::FT_PARITY_NONE);
  driver.FT_SetTimeouts(handle, 200, 1000);
  Write(driver, handle, MakeFrame("LOG"));
  bus.Sleep(200);
  driver.FT_Purge(handle, d2xx::FT_PURGE_RX);

  Run run;
  const auto realStart = std::chrono::steady_clock::now();
  const Micros modelStart = bus.Now();
  std::uint8_t reply[128];
  for (int i = 0; i < count; ++i) {
    Write(driver, handle, MakeFrame("GET"));
    d2xx::DWORD got = 0;
    driver.FT_Read(handle, reply, readSize, &got);
    run.goodReplies += (got == 68 && reply[0] == kAck) ? 1 : 0;
    Write(driver, handle, {kAck});
  }
  if (clock == ClockKind::kReal) {
    run.elapsedMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - realStart)
            .count();
  } else {
    run.elapsedMs = static_cast<double>(bus.Now() - modelStart) / 1000;
  }
  driver.FT_Close(handle);
  return run;
}

int Check(int count, d2xx::DWORD readSize, int latencyMs) {
  const Run model = Exchanges(ClockKind::kVirtual, count, readSize, latencyMs);
  const Run real = Exchanges(ClockKind::kReal, count, readSize, latencyMs);
  const double deviation = (real.elapsedMs - model.elapsedMs) / model.elapsedMs;
  std::printf("%d record exchanges, reads of %u bytes, latency timer %d ms\n", count,
              static_cast<unsigned>(readSize), latencyMs);
  std::printf("  model (virtual clock): %9.1f ms, %6.2f ms an exchange, %d good replies\n",
              model.elapsedMs, model.elapsedMs / count, model.goodReplies);
  std::printf("  real clock:            %9.1f ms, %6.2f ms an exchange, %d good replies\n",
              real.elapsedMs, real.elapsedMs / count, real.goodReplies);
  std::printf("  deviation: %+.2f %% (allowed: %.0f %%)\n", deviation * 100, kTolerance * 100);
  const bool good =
      std::fabs(deviation) <= kTolerance && model.goodReplies == count && real.goodReplies == count;
  std::puts(good ? "  within the model" : "  OFF THE MODEL");
  return good ? 0 : 1;
}

}  // namespace
}  // namespace klxr::vm

int main(int argc, char** argv) {
  int count = 100;
  klxr::d2xx::DWORD readSize = 68;
  int latencyMs = 16;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--program-reads") {
      readSize = 100;
    } else if (argument == "--fast") {
      latencyMs = 2;
    } else if (std::atoi(argv[i]) > 0 && std::atoi(argv[i]) <= klxr::kSlotCount) {
      count = std::atoi(argv[i]);
    } else {
      std::fprintf(stderr,
                   "usage: klxr-vm-timing-check [EXCHANGES 1-1568] [--program-reads | --fast]\n");
      return 2;
    }
  }
  return klxr::vm::Check(count, readSize, latencyMs);
}
