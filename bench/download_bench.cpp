// The log download of a full log (1568 records) from the in-process virtual meter with its
// realistic timing model (line speed, USB packets and latency timer, meter processing), on the
// virtual clock, three ways: paced (reads of 100 bytes waiting out the read time-out), fast with
// the adapter's latency timer left at 16 ms, and fast with it set to 2 ms as the program does.
// The fast runs tick the download timer every simulated millisecond. Reports the simulated times:
// the whole download, per record, the longest time one DownloadStep holds the thread, and what
// StartDownload holds it for; and the longest real time one step's code took. The wall time
// measured by the benchmark is only the cost of the simulation and the conversation code.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

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
  double longestStepCodeUs = 0;
  int records = 0;
};

enum Way { kPaced, kFastLatency16, kFastLatency2 };

// A latency timer that stays as it is: the fast path on an adapter that ignores the setting.
klxr::d2xx::FT_STATUS KLXR_D2XX_CALL KeepLatency(klxr::d2xx::FT_HANDLE, klxr::d2xx::UCHAR) {
  return klxr::d2xx::FT_OK;
}

klxr::d2xx::D2xxFunctions DriverFor(Way way) {
  if (way == kPaced) {
    return klxr::vm::VirtualBus::Functions();
  }
  klxr::d2xx::D2xxFunctions table = klxr::vm::VirtualBus::FastFunctions();
  if (way == kFastLatency16) {
    table.FT_SetLatencyTimer = &KeepLatency;
  }
  return table;
}

DownloadTimes DownloadOnce(const std::vector<klxr::vm::RecordBytes>& records, Way way) {
  klxr::vm::VirtualBus bus(klxr::vm::OneMeter(records));
  const klxr::d2xx::D2xxFunctions driver = DriverFor(way);
  klxr::ComAccess port(driver);
  klxr::LogImage image;
  SilentBoxes boxes;
  klxr::MeterLink link(image, boxes);
  link.DriverLibrary = &driver;
  link.SharedPort = &port;
  link.Sleep = bus.SleepFunction();
  link.Now = bus.NowFunction();
  link.Transfer = way == kPaced ? klxr::TransferMode::kPaced : klxr::TransferMode::kFast;
  BenchWindow window;

  DownloadTimes times;
  const Micros begin = bus.Now();
  klxr::StartDownload(link, &window);
  times.start = bus.Now() - begin;
  while (window.running) {
    const Micros before = bus.Now();
    const auto codeStart = std::chrono::steady_clock::now();
    klxr::DownloadStep(link, &window);
    const std::chrono::duration<double, std::micro> code =
        std::chrono::steady_clock::now() - codeStart;
    times.longestStepCodeUs = std::max(times.longestStepCodeUs, code.count());
    times.longestStep = std::max(times.longestStep, bus.Now() - before);
    if (way != kPaced && window.running) {
      bus.Sleep(klxr::cmd::kDownloadTimerPeriodMs);
    }
  }
  times.whole = bus.Now() - begin;
  times.records = link.Download.RecordsReceived;
  return times;
}

void BM_DownloadFullLog(benchmark::State& state) {
  const std::vector<klxr::vm::RecordBytes> records = klxr::vm::GeneratedRecords(klxr::kSlotCount);
  DownloadTimes times;
  const Way way = static_cast<Way>(state.range(0));
  for (auto _ : state) {
    times = DownloadOnce(records, way);
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
  state.counters["longest_step_code_ms"] = times.longestStepCodeUs / 1e3;
}
// 0: paced; 1: fast, latency timer 16 ms; 2: fast, latency timer 2 ms.
BENCHMARK(BM_DownloadFullLog)
    ->ArgName("way")
    ->Arg(kPaced)
    ->Arg(kFastLatency16)
    ->Arg(kFastLatency2)
    ->Unit(benchmark::kMillisecond);

}  // namespace
