// Fuzz target: one 64-byte record in every slot position that matters (the first, a middle and
// the last slot) through the record formatting in both units. Fast, so the fuzzer goes deep into
// the decoding of levels, names and the bit error ratio.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "log/log_image.h"
#include "log/record_format.h"

namespace {

// A broken invariant: names the line, then aborts so that the fuzzer keeps the input.
void Require(bool condition, int line = __builtin_LINE()) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken at %s:%d\n", __FILE__, line);
    std::abort();
  }
}

bool IsFormattedKind(std::uint8_t kind) {
  return kind == 'A' || kind == 'D' || kind == 'V' || kind == 'E';
}

void CheckSlot(const klxr::LogImage& image, int index) {
  const std::uint8_t kind = image.Slot(index)[0];
  for (std::uint8_t units : {klxr::kUnitsDbm, klxr::kUnitsDbuv, std::uint8_t{7}}) {
    klxr::DecodedEntry entry;
    Require(klxr::FormatRecord(image, index, entry, units));
    Require(entry.DisplayLine.empty() == !IsFormattedKind(kind));
    Require(entry.CsvLine.empty() == !IsFormattedKind(kind));
    if (!entry.CsvLine.empty()) {
      Require(entry.CsvLine.size() >= 2 && entry.CsvLine.ends_with("\r\n"));
    }
    Require(entry.Channel.size() <= 10 && entry.Specification.size() <= 10 &&
            entry.Multiplex.size() <= 12);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto image = std::make_unique<klxr::LogImage>();
  const std::size_t used = std::min<std::size_t>(size, klxr::kRecordSize);
  for (int index : {0, 700, klxr::kSlotCount - 1}) {
    auto slot = image->Slot(index);
    std::fill(slot.begin(), slot.end(), std::uint8_t{0});
    std::copy_n(data, used, slot.begin());
    CheckSlot(*image, index);
  }
  klxr::DecodedEntry outside;
  Require(!klxr::FormatRecord(*image, klxr::kSlotCount, outside, klxr::kUnitsDbm));
  return 0;
}
