#include "samples/record_builder.h"

#include <algorithm>

#include "log/record_layout.h"

namespace klxr::samples {
namespace {

void PutU16(SlotBytes slot, std::size_t offset, std::uint16_t value) {
  slot[offset] = static_cast<std::uint8_t>(value >> 8);
  slot[offset + 1] = static_cast<std::uint8_t>(value);
}

void PutU32(SlotBytes slot, std::size_t offset, std::uint32_t value) {
  PutU16(slot, offset, static_cast<std::uint16_t>(value >> 16));
  PutU16(slot, offset + 2, static_cast<std::uint16_t>(value));
}

void PutText(SlotBytes slot, std::size_t offset, std::size_t width, const std::string& text) {
  std::fill_n(slot.begin() + static_cast<std::ptrdiff_t>(offset), width, std::uint8_t{0});
  std::copy_n(text.begin(), std::min(width, text.size()),
              slot.begin() + static_cast<std::ptrdiff_t>(offset));
}

void WriteCommon(SlotBytes slot, const CommonFields& common) {
  std::fill(slot.begin(), slot.end(), std::uint8_t{0});
  slot[layout::kKind] = common.kind;
  slot[layout::kSubSequence] = static_cast<std::uint8_t>(common.subSequence);
  PutU16(slot, layout::kSequence, static_cast<std::uint16_t>(common.sequence));
  PutU32(slot, layout::kFrequency, common.frequency);
  PutText(slot, layout::kChannel, layout::kChannelWidth, common.channel);
  PutText(slot, layout::kSpecification, layout::kSpecificationWidth, common.specification);
  PutText(slot, layout::kMultiplex, layout::kMultiplexWidth, common.multiplex);
  slot[layout::kStatusByte] = common.statusByte;
}

}  // namespace

std::uint16_t MakeLevelWord(int tenths, LevelRange range) {
  const auto value = static_cast<std::uint16_t>(tenths & 0x0FFF);
  switch (range) {
    case LevelRange::InRange:
      return value;
    case LevelRange::Over:
      return static_cast<std::uint16_t>(0x8000 | value);
    case LevelRange::Under:
      return static_cast<std::uint16_t>(0x4000 | value);
    case LevelRange::NoValue:
      return 0xC000;
  }
  return value;
}

void WriteNamesOnlyRecord(SlotBytes slot, const CommonFields& common) {
  WriteCommon(slot, common);
}

void WriteAnalogueRecord(SlotBytes slot, const CommonFields& common, const AnalogueFields& fields) {
  WriteCommon(slot, common);
  PutU16(slot, layout::kVideoPower, fields.videoPower);
  PutU16(slot, layout::kAudioPower, fields.audioPower);
  PutU16(slot, layout::kCarrierToNoise, fields.carrierToNoise);
  PutU16(slot, layout::kExtraLevel, fields.extraLevel);
}

void WriteDigitalRecord(SlotBytes slot, const CommonFields& common, const DigitalFields& fields) {
  WriteCommon(slot, common);
  slot[layout::kMode] = fields.mode;
  PutU16(slot, layout::kDigitalPower, fields.digitalPower);
  PutU16(slot, layout::kMer, fields.mer);
  PutU32(slot, layout::kErrorCount, fields.errorCount);
  slot[layout::kRecordByte52] = fields.recordByte52;
  slot[layout::kGuardInterval] = fields.guardInterval;
  PutU16(slot, layout::kRecordWord54, fields.recordWord54);
  PutU16(slot, layout::kRecordWord56, fields.recordWord56);
  slot[layout::kPlpMode] = fields.plpMode;
  slot[layout::kCodeRate] = fields.codeRate;
}

}  // namespace klxr::samples
