// The log download of a full log (1568 records) from the in-process virtual meter with its
// realistic timing model (line speed, USB packets and latency timer, meter processing), on the
// virtual clock. Reports the simulated times: the whole download, per record, the longest time one
// DownloadStep holds the thread, and what StartDownload holds it for. The wall time measured by
// the benchmark is only the cost of the simulation and the conversation code.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "link/com_access.h"
#include "link/log_download.h"
#include "resources/command_ids.h"
#include "virtual-meter/meter_records.h"
#include "virtual-meter/virtual_bus.h"

namespace {

using klxr::vm::Micros;

class BenchWindow : public klxr::DownloadWindow {
 public:
  void SetViewEnabled(bool) override {}
  void RequestRepaint(bool) override {}
  void StartTimer(int, int) override { running = true; }
  bool KillTimer(int) override { return std::exchange(running, false); }
  bool running = false;
};

class SilentBoxes : public klxr::MessageBoxes {
 public:
  void Show(int, std::string_view, klxr::BoxKind) override {}
  klxr::Answer Ask(int, std::string_view) override { return klxr::Answer::Yes; }
};

struct DownloadTimes {
  Micros start = 0;
  Micros whole = 0;
  Micros longestStep = 0;
  int records = 0;
};

DownloadTimes DownloadOnce(const std::vector<klxr::vm::RecordBytes>& records) {
  klxr::vm::VirtualBus bus(klxr::vm::OneMeter(records));
  const klxr::d2xx::D2xxFunctions driver = klxr::vm::VirtualBus::Functions();
  klxr::ComAccess port(driver);
  klxr::LogImage image;
  SilentBoxes boxes;
  klxr::MeterLink link(image, boxes);
  link.DriverLibrary = &driver;
  link.SharedPort = &port;
  link.Sleep = bus.SleepFunction();
  BenchWindow window;

  DownloadTimes times;
  const Micros begin = bus.Now();
  klxr::StartDownload(link, &window);
  times.start = bus.Now() - begin;
  while (window.running) {
    const Micros before = bus.Now();
    klxr::DownloadStep(link, &window);
    times.longestStep = std::max(times.longestStep, bus.Now() - before);
  }
  times.whole = bus.Now() - begin;
  times.records = link.Download.RecordsReceived;
  return times;
}

void BM_DownloadFullLog(benchmark::State& state) {
  const std::vector<klxr::vm::RecordBytes> records = klxr::vm::GeneratedRecords(klxr::kSlotCount);
  DownloadTimes times;
  for (auto _ : state) {
    times = DownloadOnce(records);
    benchmark::DoNotOptimize(times);
  }
  if (times.records != klxr::kSlotCount) {
    state.SkipWithError("the download did not complete");
    return;
  }
  state.counters["simulated_whole_s"] = static_cast<double>(times.whole) / 1e6;
  state.counters["simulated_per_record_ms"] =
      static_cast<double>(times.whole) / 1e3 / times.records;
  state.counters["simulated_longest_step_ms"] = static_cast<double>(times.longestStep) / 1e3;
  state.counters["simulated_start_ms"] = static_cast<double>(times.start) / 1e3;
}
BENCHMARK(BM_DownloadFullLog)->Unit(benchmark::kMillisecond);

}  // namespace
