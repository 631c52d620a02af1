// A comparison of two surveys written out: a text table for a terminal (at most 80 columns), CSV
// (a header row and one row per channel, LF line ends) and JSON. All UTF-8; the log's Latin-1
// channel names are converted.
#pragma once

#include <string>

#include "log/survey_compare.h"

namespace klxr {

// The verdict's word in CSV and JSON: "unchanged", "better", "worse", "only_before", "only_after".
std::string_view VerdictName(Verdict verdict);

// "3 better, 1 worse, 12 unchanged; 2 only before, 0 only after".
std::string ComparisonSummaryLine(const SurveyComparison& comparison);

// The table: two heading lines, one line per channel with its mark (+ better, - worse, < only
// before, > only after), the summary line, the thresholds and the marks' legend.
std::string ComparisonTableText(const SurveyComparison& comparison);

std::string ComparisonCsvText(const SurveyComparison& comparison);
std::string ComparisonJsonText(const SurveyComparison& comparison);

}  // namespace klxr
