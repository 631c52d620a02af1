#include "log/record_format.h"

#include <array>
#include <cstdio>

#include "log/level_word.h"
#include "log/record_layout.h"
#include "log/record_lines.h"

namespace klxr {
namespace {

void DecodeCommonPart(layout::RecordBytes record, DecodedEntry& entry) {
  entry.Kind = static_cast<char>(record[layout::kKind]);
  entry.SubSequence = static_cast<std::int8_t>(record[layout::kSubSequence]);
  entry.Sequence = layout::ReadU16(record, layout::kSequence);
  entry.Frequency = layout::ReadU32(record, layout::kFrequency);
  entry.Channel = layout::ReadText(record, layout::kChannel, layout::kChannelWidth);
  entry.Specification =
      layout::ReadText(record, layout::kSpecification, layout::kSpecificationWidth);
  entry.Multiplex = layout::ReadText(record, layout::kMultiplex, layout::kMultiplexWidth);
  entry.StatusByte = record[layout::kStatusByte];
}

void DecodeAnaloguePart(layout::RecordBytes record, DecodedEntry& entry) {
  auto signedWord = [&](std::size_t offset) {
    return int{static_cast<std::int16_t>(layout::ReadU16(record, offset))};
  };
  entry.VideoPower = signedWord(layout::kVideoPower);
  entry.AudioPower = signedWord(layout::kAudioPower);
  entry.CarrierToNoise = signedWord(layout::kCarrierToNoise);
  entry.ExtraLevel = signedWord(layout::kExtraLevel);
}

void DecodeDigitalPart(layout::RecordBytes record, DecodedEntry& entry) {
  entry.Mode = record[layout::kMode];
  entry.DigitalPower = layout::ReadU16(record, layout::kDigitalPower);
  entry.Mer = layout::ReadU16(record, layout::kMer);
  entry.ErrorCount = layout::ReadU32(record, layout::kErrorCount);
  entry.RecordByte52 = record[layout::kRecordByte52];
  entry.GuardInterval = record[layout::kGuardInterval];
  entry.RecordWord54 = layout::ReadU16(record, layout::kRecordWord54);
  entry.RecordWord56 = layout::ReadU16(record, layout::kRecordWord56);
  entry.PlpMode = record[layout::kPlpMode];
  entry.CodeRate = record[layout::kCodeRate];
}

// The texts the common part contributes to every line.
CommonTexts MakeCommonTexts(const DecodedEntry& entry) {
  return {SequenceText(entry.Sequence, entry.SubSequence), std::to_string(entry.Frequency),
          entry.Channel, entry.Specification, entry.Multiplex};
}

void FormatAnalogue(DecodedEntry& entry, bool dbuv) {
  const AnalogueTexts texts{MakeCommonTexts(entry),
                            FormatLevel(static_cast<std::uint16_t>(entry.VideoPower)),
                            FormatLevel(static_cast<std::uint16_t>(entry.AudioPower)),
                            FormatLevel(static_cast<std::uint16_t>(entry.CarrierToNoise))};
  entry.DisplayLine = AnalogueDisplayLine(texts, dbuv);
  entry.CsvLine = AnalogueCsvLine(texts);
}

void FormatDigital(DecodedEntry& entry, bool dbuv) {
  const int quality = entry.StatusByte & layout::kQualityMask;
  const DigitalTexts texts{MakeCommonTexts(entry),
                           StatusText(quality),
                           QualityText(quality),
                           std::string(quality == 0 ? "" : layout::ModulationName(entry.Mode)),
                           std::string(layout::ModulationName(entry.PlpMode)),
                           FormatLevel(static_cast<std::uint16_t>(entry.DigitalPower)),
                           FormatLevel(static_cast<std::uint16_t>(entry.Mer)),
                           BerText(entry.ErrorCount)};
  entry.DisplayLine = DigitalDisplayLine(texts, dbuv);
  entry.CsvLine = DigitalCsvLine(texts);
}

}  // namespace

bool FormatRecord(const LogImage& image, int index, DecodedEntry& entry, std::uint8_t units) {
  entry = DecodedEntry{};
  if (index < 0 || index >= kSlotCount) {
    return false;
  }
  const layout::RecordBytes record = image.Slot(index);
  DecodeCommonPart(record, entry);
  const bool dbuv = units == kUnitsDbuv;
  switch (record[layout::kKind]) {
    case layout::kKindAnalogue:
      DecodeAnaloguePart(record, entry);
      FormatAnalogue(entry, dbuv);
      break;
    case layout::kKindDigital:
    case layout::kKindDigitalOther:
      DecodeDigitalPart(record, entry);
      FormatDigital(entry, dbuv);
      break;
    case layout::kKindNamesOnly: {
      const CommonTexts texts = MakeCommonTexts(entry);
      entry.DisplayLine = NamesOnlyDisplayLine(texts);
      entry.CsvLine = NamesOnlyCsvLine(texts);
      break;
    }
    default:
      break;
  }
  return true;
}

std::string SequenceText(int sequence, int subSequence) {
  std::array<char, 32> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "%04d-%02d", sequence, subSequence);
  return buffer.data();
}

std::string BerText(std::uint32_t errorCount) {
  // A multiplication, not a division by 1e8: the two round differently for a few counts.
  const double ber = static_cast<double>(errorCount) * 1e-8;
  std::array<char, 32> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "%.2E", ber);
  // The C library prints at least two exponent digits; the text always has three.
  const std::string printed = buffer.data();
  const std::size_t digitsStart = printed.find('E') + 2;
  std::string digits = printed.substr(digitsStart);
  if (digits.size() < 3) {
    digits.insert(0, 3 - digits.size(), '0');
  }
  return printed.substr(0, digitsStart) + digits;
}

std::string StatusText(int quality) {
  static constexpr std::array<const char*, 8> kStatus{"FAIL", "FAIL", "POOR", "MARGINAL",
                                                      "PASS", "PASS", "",     ""};
  return kStatus[std::size_t(quality) & 7];
}

std::string QualityText(int quality) {
  return std::string(std::size_t(quality) & 7, '*');
}

}  // namespace klxr
