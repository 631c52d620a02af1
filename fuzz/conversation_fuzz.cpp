// Fuzz target: the log download, the log erase and the meter discovery, fast and paced, against an
// adapter whose every answer comes from the fuzzer (fuzzed_driver.h), on a virtual clock. Checks:
// nothing crashes, each conversation ends with the port closed, every message shown is the text of
// its catalogue entry, and the download writes the log image only in whole slots (nothing behind
// the records it counts).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz/fuzzed_driver.h"
#include "link/com_access.h"
#include "link/download_window.h"
#include "link/log_download.h"
#include "link/log_erase.h"
#include "link/meter_discovery.h"
#include "link/meter_link.h"
#include "log/log_image.h"
#include "resources/command_ids.h"

namespace {

using klxr::fuzz::Adapter;

// A broken invariant: names the line, then aborts so that the fuzzer keeps the input.
void Require(bool condition, int line = __builtin_LINE()) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken at %s:%d\n", __FILE__, line);
    std::abort();
  }
}

// Message boxes that check each text against the catalogue and answer questions from the bytes.
class CheckedBoxes : public klxr::MessageBoxes {
 public:
  void Show(int index, std::string_view text, klxr::BoxKind) override { Check(index, text); }
  // The catalogue's text stays as it is; what the program adds goes to the detail.
  void ShowDetailed(int index, std::string_view text, klxr::BoxKind,
                    std::string_view detail) override {
    Check(index, text);
    Require(!detail.empty());
  }
  klxr::Answer Ask(int index, std::string_view text) override {
    Check(index, text);
    return Adapter().bytes->ConsumeBool() ? klxr::Answer::Yes : klxr::Answer::No;
  }

 private:
  static void Check(int index, std::string_view text) {
    Require(index >= 0 && index < static_cast<int>(klxr::MessageIndexTable.size()));
    Require(text == klxr::LoadText(index));
  }
};

class TimerWindow : public klxr::DownloadWindow {
 public:
  void SetViewEnabled(bool) override {}
  void RequestRepaint(bool) override {}
  void StartTimer(int, int) override { running = true; }
  bool KillTimer(int) override {
    const bool was = running;
    running = false;
    return was;
  }
  bool running = false;
};

void RunDownload(klxr::MeterLink& link) {
  TimerWindow window;
  klxr::StartDownload(link, &window);
  const bool fast = klxr::UsesFastTransfer(link);
  // A stuck step machine would spin here; the virtual clock makes every wait end, so a bound on
  // the steps that is far above a full log's catches one.
  for (int step = 0; window.running; ++step) {
    Require(step < 4'000'000);
    klxr::DownloadStep(link, &window);
    if (fast) {
      link.Sleep(klxr::cmd::kDownloadTimerPeriodMs);
    }
  }
  const klxr::DownloadState& state = link.Download;
  Require(state.RecordsReceived >= 0 && state.RecordsReceived <= klxr::kSlotCount);
  Require(state.ProgressShown >= 0 && state.ProgressShown <= klxr::kSlotCount);
  const auto behind = link.Image.bytes.begin() + std::ptrdiff_t{state.RecordsReceived} * 64;
  Require(std::all_of(behind, link.Image.bytes.end(), [](std::uint8_t byte) { return byte == 0; }));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider bytes(data, size);
  klxr::fuzz::FuzzedAdapter& adapter = Adapter();
  adapter = klxr::fuzz::FuzzedAdapter{};
  adapter.bytes = &bytes;
  const int conversation = bytes.ConsumeIntegralInRange(0, 2);
  const bool fast = bytes.ConsumeBool();

  static const auto image = std::make_unique<klxr::LogImage>();
  image->Clear();
  CheckedBoxes boxes;
  const klxr::d2xx::D2xxFunctions driver = klxr::fuzz::FuzzedDriverTable(fast);
  klxr::ComAccess port(driver);
  klxr::MeterLink link(*image, boxes);
  link.DriverLibrary = &driver;
  link.SharedPort = &port;
  link.Sleep = [](std::uint32_t milliseconds) {
    Adapter().nowUs += std::int64_t{milliseconds} * 1000;
  };
  link.Now = [] { return Adapter().nowUs; };
  link.Transfer = fast ? klxr::TransferMode::kFast : klxr::TransferMode::kPaced;

  if (conversation == 0) {
    RunDownload(link);
  } else if (conversation == 1) {
    TimerWindow window;
    klxr::EraseMeterLog(link, &window);
  } else {
    klxr::CollectedMeters meters;
    const int found = klxr::DiscoverMeters(link, &meters);
    Require(found == static_cast<int>(meters.texts.size()));
  }
  Require(adapter.openHandles == 0);
  return 0;
}
