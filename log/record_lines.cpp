#include "log/record_lines.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace klxr {
namespace {

constexpr std::size_t kWideDisplayFields = 20;     // kinds 'A' and 'E'
constexpr std::size_t kDigitalDisplayFields = 18;  // kinds 'D' and 'V'
constexpr std::size_t kCsvFields = 17;

// A CSV field is a range prefix (often empty) and a text, written one after the other inside the
// quotes; the display line has them in two fields.
struct CsvField {
  std::string_view prefix;
  std::string_view text;
};

// Appends the text with each double quote doubled.
void AppendQuoted(std::string& line, std::string_view text) {
  std::size_t start = 0;
  for (std::size_t quote; (quote = text.find('"', start)) != std::string_view::npos;
       start = quote + 1) {
    line.append(text.substr(start, quote + 1 - start));
    line += '"';
  }
  line.append(text.substr(start));
}

template <std::size_t N>
std::string JoinDisplayFields(const std::array<std::string_view, N>& fields) {
  std::string line;
  line.reserve(128);
  for (std::size_t i = 0; i < N; ++i) {
    if (i > 0) {
      line += '\t';
    }
    line += fields[i];
  }
  return line;
}

std::string JoinCsvFields(const std::array<CsvField, kCsvFields>& fields) {
  std::string line;
  line.reserve(192);
  for (std::size_t i = 0; i < kCsvFields; ++i) {
    line += i > 0 ? ",\"" : "\"";
    AppendQuoted(line, fields[i].prefix);
    AppendQuoted(line, fields[i].text);
    line += '"';
  }
  line += "\r\n";
  return line;
}

// Fields 0 to 4 of a display line and 1 to 5 of a CSV line hold the common texts.
template <std::size_t N>
void PutCommonTexts(const CommonTexts& texts, std::array<std::string_view, N>& fields) {
  fields[0] = texts.sequence;
  fields[1] = texts.frequency;
  fields[2] = texts.channel;
  fields[3] = texts.specification;
  fields[4] = texts.multiplex;
}

void PutCommonTexts(const CommonTexts& texts, std::array<CsvField, kCsvFields>& fields) {
  fields[0].text = texts.sequence;
  fields[1].text = texts.frequency;
  fields[2].text = texts.channel;
  fields[3].text = texts.specification;
  fields[4].text = texts.multiplex;
}

std::string_view InUnits(const LevelTexts& level, bool dbuv) {
  return dbuv ? level.dbuv : level.dbm;
}

}  // namespace

std::string AnalogueDisplayLine(const AnalogueTexts& texts, bool dbuv) {
  std::array<std::string_view, kWideDisplayFields> fields{};
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
  std::array<std::string_view, kDigitalDisplayFields> fields{};
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
  std::array<std::string_view, kWideDisplayFields> fields{};
  PutCommonTexts(texts, fields);
  fields[1] = {};  // a names-only record shows no frequency
  return JoinDisplayFields(fields);
}

std::string DisplayHeadingLine(bool dbuv) {
  const std::string_view unit = dbuv ? " dBuV" : " dBm";
  const std::string video = "Vid. Pwr" + std::string(unit);
  const std::string audio = "Aud. Pwr" + std::string(unit);
  const std::string digital = "Dig. Pwr" + std::string(unit);
  const std::array<std::string_view, kDigitalDisplayFields> fields{
      "Seq Num", "Frequency", "Channel", "Spec",     "Mux", "Status", "Quality", "",       video,
      "",        audio,       "Mode",    "PLP Mode", "",    digital,  "",        "MER/CN", "BER"};
  return JoinDisplayFields(fields);
}

std::string AnalogueCsvLine(const AnalogueTexts& texts) {
  std::array<CsvField, kCsvFields> fields{};
  PutCommonTexts(texts.common, fields);
  fields[7] = {texts.video.prefix, texts.video.dbm};
  fields[8] = {texts.video.prefix, texts.video.dbuv};
  fields[9] = {texts.audio.prefix, texts.audio.dbm};
  fields[10] = {texts.audio.prefix, texts.audio.dbuv};
  fields[15] = {texts.carrierToNoise.prefix, texts.carrierToNoise.dbm};
  return JoinCsvFields(fields);
}

std::string DigitalCsvLine(const DigitalTexts& texts) {
  std::array<CsvField, kCsvFields> fields{};
  PutCommonTexts(texts.common, fields);
  fields[5].text = texts.status;
  fields[6].text = texts.quality;
  fields[11].text = texts.mode;
  fields[12].text = texts.plpMode;
  fields[13] = {texts.digitalPower.prefix, texts.digitalPower.dbm};
  fields[14] = {texts.digitalPower.prefix, texts.digitalPower.dbuv};
  fields[15] = {texts.mer.prefix, texts.mer.dbm};
  fields[16].text = texts.ber;
  return JoinCsvFields(fields);
}

std::string NamesOnlyCsvLine(const CommonTexts& texts) {
  std::array<CsvField, kCsvFields> fields{};
  PutCommonTexts(texts, fields);
  fields[1].text = {};  // a names-only record shows no frequency
  return JoinCsvFields(fields);
}

std::string QuoteCsvField(std::string_view text) {
  std::string field = "\"";
  AppendQuoted(field, text);
  field += '"';
  return field;
}

}  // namespace klxr
