// Formatting and exporting a full log (1568 records): the viewer formats every record each time it
// fills its list, the export once per record.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "log/log_files.h"
#include "log/record_format.h"
#include "samples/sample_logs.h"

namespace {

class SilentBoxes : public klxr::MessageBoxes {
 public:
  void Show(int, std::string_view, klxr::BoxKind) override {}
  klxr::Answer Ask(int, std::string_view) override { return klxr::Answer::Cancel; }
};

const klxr::LogImage& FullLog() {
  static const klxr::LogImage log = klxr::samples::MakeRealisticLog(klxr::kSlotCount, 1568);
  return log;
}

void FormatFullLog(benchmark::State& state) {
  const auto units = static_cast<std::uint8_t>(state.range(0));
  klxr::DecodedEntry entry;
  for (auto _ : state) {
    for (int index = 0; index < klxr::kSlotCount; ++index) {
      klxr::FormatRecord(FullLog(), index, entry, units);
      benchmark::DoNotOptimize(entry.DisplayLine.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * klxr::kSlotCount);
}
BENCHMARK(FormatFullLog)
    ->Arg(klxr::kUnitsDbm)
    ->Arg(klxr::kUnitsDbuv)
    ->Unit(benchmark::kMillisecond);

void CsvTextOfFullLog(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(klxr::MakeCsvText(FullLog(), klxr::kSlotCount).data());
  }
}
BENCHMARK(CsvTextOfFullLog)->Unit(benchmark::kMillisecond);

void ExportFullLog(benchmark::State& state) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "klxr-bench-export.csv";
  SilentBoxes boxes;
  for (auto _ : state) {
    if (klxr::ExportCsv(FullLog(), path.string(), klxr::kSlotCount, boxes, false) != 0) {
      state.SkipWithError("export failed");
      break;
    }
  }
  std::filesystem::remove(path);
}
BENCHMARK(ExportFullLog)->Unit(benchmark::kMillisecond);

}  // namespace
