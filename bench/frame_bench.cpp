// The frame codec's cost per reply: unpacking the frame of one 64-byte log record (what every
// download step does once a reply is complete), and packing a command.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "link/meter_frame.h"

namespace {

// An ACK-less reply frame carrying a digital record: kind byte, numbers and NUL-filled texts.
std::array<std::uint8_t, 67> RecordFrame() {
  std::array<std::uint8_t, 64> record{};
  record[0] = 'D';
  for (std::size_t i = 1; i < 24; ++i) {
    record[i] = static_cast<std::uint8_t>(i * 37);
  }
  const char name[] = "UHF 39 DVB-T2";
  for (std::size_t i = 0; i + 1 < sizeof name; ++i) {
    record[24 + i] = static_cast<std::uint8_t>(name[i]);
  }
  std::array<std::uint8_t, 67> frame{};
  klxr::PackFrame(record.data(), record.size(), frame);
  return frame;
}

void BM_UnpackRecordFrame(benchmark::State& state) {
  const std::array<std::uint8_t, 67> frame = RecordFrame();
  std::array<std::uint8_t, klxr::kUnpackAreaSize> output{};
  for (auto _ : state) {
    benchmark::DoNotOptimize(frame.data());
    int length = klxr::UnpackFrame(frame.data(), static_cast<int>(frame.size()), output);
    benchmark::DoNotOptimize(length);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 67);
}
BENCHMARK(BM_UnpackRecordFrame);

void BM_PackCommandFrame(benchmark::State& state) {
  std::array<std::uint8_t, klxr::kSendAreaSize> area{};
  for (auto _ : state) {
    std::size_t length = klxr::PackFrame(klxr::kGetCommand.data(), klxr::kGetCommand.size(), area);
    benchmark::DoNotOptimize(length);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PackCommandFrame);

}  // namespace
