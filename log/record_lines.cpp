#include "log/record_lines.h"

#include <array>
#include <cstddef>

namespace klxr {
namespace {

constexpr std::size_t kWideDisplayFields = 20;     // kinds 'A' and 'E'
constexpr std::size_t kDigitalDisplayFields = 18;  // kinds 'D' and 'V'
constexpr std::size_t kCsvFields = 17;

template <std::size_t N>
std::string JoinDisplayFields(const std::array<std::string, N>& fields) {
  std::string line;
  for (std::size_t i = 0; i < N; ++i) {
    if (i > 0) {
      line += '\t';
    }
    line += fields[i];
  }
  return line;
}

std::string JoinCsvFields(const std::array<std::string, kCsvFields>& fields) {
  std::string line;
  for (std::size_t i = 0; i < kCsvFields; ++i) {
    if (i > 0) {
      line += ',';
    }
    line += QuoteCsvField(fields[i]);
  }
  line += "\r\n";
  return line;
}

// Fields 0 to 4 of a display line and 1 to 5 of a CSV line hold the common texts.
template <std::size_t N>
void PutCommonTexts(const CommonTexts& texts, std::array<std::string, N>& fields) {
  fields[0] = texts.sequence;
  fields[1] = texts.frequency;
  fields[2] = texts.channel;
  fields[3] = texts.specification;
  fields[4] = texts.multiplex;
}

const std::string& InUnits(const LevelTexts& level, bool dbuv) {
  return dbuv ? level.dbuv : level.dbm;
}

}  // namespace

std::string AnalogueDisplayLine(const AnalogueTexts& texts, bool dbuv) {
  std::array<std::string, kWideDisplayFields> fields;
  PutCommonTexts(texts.common, fields);
  fields[7] = texts.video.prefix;
  fields[8] = InUnits(texts.video, dbuv);
  fields[9] = texts.audio.prefix;
  fields[10] = InUnits(texts.audio, dbuv);
  fields[15] = texts.carrierToNoise.prefix;
  fields[16] = texts.carrierToNoise.dbm;
  return JoinDisplayFields(fields);
}

std::string DigitalDisplayLine(const DigitalTexts& texts, bool dbuv) {
  std::array<std::string, kDigitalDisplayFields> fields;
  PutCommonTexts(texts.common, fields);
  fields[5] = texts.status;
  fields[6] = texts.quality;
  fields[11] = texts.mode;
  fields[12] = texts.plpMode;
  fields[13] = texts.digitalPower.prefix;
  fields[14] = InUnits(texts.digitalPower, dbuv);
  fields[15] = texts.mer.prefix;
  fields[16] = texts.mer.dbm;
  fields[17] = texts.ber;
  return JoinDisplayFields(fields);
}

std::string NamesOnlyDisplayLine(const CommonTexts& texts) {
  std::array<std::string, kWideDisplayFields> fields;
  PutCommonTexts(texts, fields);
  fields[1].clear();  // a names-only record shows no frequency
  return JoinDisplayFields(fields);
}

std::string AnalogueCsvLine(const AnalogueTexts& texts) {
  std::array<std::string, kCsvFields> fields;
  PutCommonTexts(texts.common, fields);
  fields[7] = texts.video.prefix + texts.video.dbm;
  fields[8] = texts.video.prefix + texts.video.dbuv;
  fields[9] = texts.audio.prefix + texts.audio.dbm;
  fields[10] = texts.audio.prefix + texts.audio.dbuv;
  fields[15] = texts.carrierToNoise.prefix + texts.carrierToNoise.dbm;
  return JoinCsvFields(fields);
}

std::string DigitalCsvLine(const DigitalTexts& texts) {
  std::array<std::string, kCsvFields> fields;
  PutCommonTexts(texts.common, fields);
  fields[5] = texts.status;
  fields[6] = texts.quality;
  fields[11] = texts.mode;
  fields[12] = texts.plpMode;
  fields[13] = texts.digitalPower.prefix + texts.digitalPower.dbm;
  fields[14] = texts.digitalPower.prefix + texts.digitalPower.dbuv;
  fields[15] = texts.mer.prefix + texts.mer.dbm;
  fields[16] = texts.ber;
  return JoinCsvFields(fields);
}

std::string NamesOnlyCsvLine(const CommonTexts& texts) {
  std::array<std::string, kCsvFields> fields;
  PutCommonTexts(texts, fields);
  fields[1].clear();  // a names-only record shows no frequency
  return JoinCsvFields(fields);
}

std::string QuoteCsvField(const std::string& text) {
  std::string field = "\"";
  for (char c : text) {
    field += c;
    if (c == '"') {
      field += '"';
    }
  }
  field += '"';
  return field;
}

}  // namespace klxr
