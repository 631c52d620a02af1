// The two lines of a formatted record, built from its texts: the display line of the log viewer
// (fields separated by tabs, each field at its column) and the CSV line of the export (17 quoted
// fields, CR LF).
#pragma once

#include <string>
#include <string_view>

#include "log/level_word.h"

namespace klxr {

// Texts of the common part of every record.
struct CommonTexts {
  std::string sequence;
  std::string frequency;
  std::string channel;
  std::string specification;
  std::string multiplex;
};

struct AnalogueTexts {
  CommonTexts common;
  LevelTexts video;
  LevelTexts audio;
  LevelTexts carrierToNoise;  // only the prefix and the dB text are shown
};

struct DigitalTexts {
  CommonTexts common;
  std::string status;
  std::string quality;
  std::string mode;
  std::string plpMode;
  LevelTexts digitalPower;
  LevelTexts mer;  // only the prefix and the dB text are shown
  std::string ber;
};

// The first line of a CSV export, CR LF included (229 bytes).
inline constexpr std::string_view kCsvHeader =
    "\"Sequence\",\"Frequency\",\"Channel\",\"Specification\",\"Multiplex\",\"Status\","
    "\"Quality\",\"Video Power dBm\",\"Video Power dBuV\",\"Audio Power dBm\","
    "\"Audio Power dBuV\",\"Mode\",\"PLP Mode\",\"Digital Power dBm\",\"Digital Power dBuV\","
    "\"MER/CN\",\"BER\"\r\n";

// Display lines: levels in dBuV when dbuv is true, else in dBm; C/N and MER always in dB.
std::string AnalogueDisplayLine(const AnalogueTexts& texts, bool dbuv);  // 20 fields
std::string DigitalDisplayLine(const DigitalTexts& texts, bool dbuv);    // 18 fields
std::string NamesOnlyDisplayLine(const CommonTexts& texts);              // 20 fields

// The headings of the display line's fields, separated by tabs as the fields are: the log
// viewer's column headings, each over its field, the level headings with their units ("Vid. Pwr
// dBm"); the fields of the range marks have none.
std::string DisplayHeadingLine(bool dbuv);

// CSV lines: every level in both units, each with its range prefix in front.
std::string AnalogueCsvLine(const AnalogueTexts& texts);
std::string DigitalCsvLine(const DigitalTexts& texts);
std::string NamesOnlyCsvLine(const CommonTexts& texts);

// One CSV field: the text in double quotes, each double quote inside it doubled.
std::string QuoteCsvField(std::string_view text);

}  // namespace klxr
