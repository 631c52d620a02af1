// A comparison of two surveys as the desktop program shows it: a table with one row per channel
// (its verdict, name and frequency, the level, MER or C/N and BER before and after with their
// change, and the status), the summary line the command-line tool prints, and a note of the units.
// Texts are UTF-8.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "log/survey_compare.h"

namespace klxr {

inline constexpr std::array<std::string_view, 13> kComparisonHeadings{
    "Verdict",      "Channel",       "MHz",          "Level before",  "Level after",
    "Level change", "MER/CN before", "MER/CN after", "MER/CN change", "BER before",
    "BER after",    "BER change",    "Status"};

struct ComparisonTable {
  std::string title;  // what was compared with what
  std::vector<std::array<std::string, kComparisonHeadings.size()>> rows;
  std::vector<Verdict> verdicts;  // of each row
  std::string summary;            // "3 better, 1 worse, 12 unchanged; 2 only before, 0 only after"
  std::string units;              // the units of the numbers and the thresholds
};

// The cells of one channel's row. A value the meter marked out of range carries ">" or "<"; a
// change carries its sign; a side that has no such value is empty.
std::array<std::string, kComparisonHeadings.size()> ComparisonRow(const ChannelComparison& channel);

ComparisonTable MakeComparisonTable(const SurveyComparison& comparison, std::string title);

}  // namespace klxr
