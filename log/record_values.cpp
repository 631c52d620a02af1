#include "log/record_values.h"

#include "log/level_word.h"
#include "log/record_format.h"
#include "log/record_layout.h"

namespace klxr {
namespace {

Measurement FromLevel(std::uint16_t word, double offset) {
  const LevelValue level = DecodeLevelWord(word);
  Measurement measurement;
  if (level.hasValue) {
    measurement.value = level.tenths / 10.0 + offset;
    measurement.overRange = level.overRange;
    measurement.underRange = level.underRange;
  }
  return measurement;
}

}  // namespace

Measurement PowerInDbuv(std::uint16_t word) {
  return FromLevel(word, kDbuvOffsetHundredths / 100.0);
}

Measurement RatioInDb(std::uint16_t word) {
  return FromLevel(word, 0.0);
}

std::optional<RecordValues> ValuesOfSlot(const LogImage& image, int slot) {
  if (slot < 0 || slot >= kSlotCount || !IsCountedKind(image.Slot(slot)[layout::kKind])) {
    return std::nullopt;
  }
  DecodedEntry entry;
  FormatRecord(image, slot, entry, kUnitsDbuv);
  RecordValues values;
  values.slot = slot;
  values.kind = entry.Kind;
  values.sequence = entry.Sequence;
  values.subSequence = entry.SubSequence;
  values.frequencyKhz = entry.Frequency;
  values.channel = entry.Channel;
  values.standard = entry.Specification;
  values.multiplex = entry.Multiplex;
  values.quality = entry.StatusByte & layout::kQualityMask;
  if (entry.Kind == layout::kKindAnalogue) {
    values.level = PowerInDbuv(static_cast<std::uint16_t>(entry.VideoPower));
    values.audioLevel = PowerInDbuv(static_cast<std::uint16_t>(entry.AudioPower));
    values.carrierToNoise = RatioInDb(static_cast<std::uint16_t>(entry.CarrierToNoise));
  } else {
    values.status = StatusText(values.quality);
    values.modulation = values.quality == 0 ? "" : layout::ModulationName(entry.Mode);
    values.level = PowerInDbuv(static_cast<std::uint16_t>(entry.DigitalPower));
    values.mer = RatioInDb(static_cast<std::uint16_t>(entry.Mer));
    values.ber = static_cast<double>(entry.ErrorCount) * 1e-8;
  }
  return values;
}

std::vector<RecordValues> RecordValuesOf(const LogImage& image) {
  std::vector<RecordValues> all;
  const int count = CountRecords(image, nullptr);
  all.reserve(static_cast<std::size_t>(count));
  for (int slot = 0; slot < count; ++slot) {
    all.push_back(*ValuesOfSlot(image, slot));
  }
  return all;
}

}  // namespace klxr
