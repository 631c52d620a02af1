// klxr-log-cli compare A B [--threshold DB] [--ber-decades N] [--format text|csv|json]: the
// channels of two surveys side by side, A the earlier, B the later, with what got better or worse.
#include <charconv>
#include <cmath>

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/exit_status.h"
#include "cli/file_operands.h"
#include "cli/option_values.h"
#include "log/comparison_writers.h"
#include "log/record_values.h"

namespace klxr::cli {
namespace {

// A threshold as written on the command line: a plain decimal number, 0 or more (the locale
// plays no part: the decimal mark is a dot).
bool ParseThreshold(const std::string& text, double& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return result.ec == std::errc() && result.ptr == end && std::isfinite(value) && value >= 0.0;
}

int TakeThreshold(const OptionValues& values, std::string_view name, double& threshold,
                  CliContext& context) {
  const auto found = values.values.find(name);
  if (found != values.values.end() && !ParseThreshold(found->second, threshold)) {
    return ReportUsageError(context, "compare",
                            "option '" + std::string(name) +
                                "' needs a number of 0 or more, not '" + found->second + "'");
  }
  return kExitOk;
}

std::string ComparisonText(const SurveyComparison& comparison, const std::string& format) {
  if (format == "csv") {
    return ComparisonCsvText(comparison);
  }
  if (format == "json") {
    return ComparisonJsonText(comparison);
  }
  return ComparisonTableText(comparison);
}

}  // namespace

int RunCompare(const std::vector<std::string>& arguments, CliContext& context) {
  const OptionValues values =
      TakeOptionValues(arguments, {"--threshold", "--ber-decades", "--format"});
  if (!values.error.empty()) {
    return ReportUsageError(context, "compare", values.error);
  }
  CompareThresholds thresholds;
  if (TakeThreshold(values, "--threshold", thresholds.levelDb, context) != kExitOk ||
      TakeThreshold(values, "--ber-decades", thresholds.berDecades, context) != kExitOk) {
    return kExitUsage;
  }
  const auto named = values.values.find("--format");
  const std::string format = named == values.values.end() ? "text" : named->second;
  if (format != "text" && format != "csv" && format != "json") {
    return ReportUsageError(context, "compare",
                            "unknown format '" + format + "' (text, csv or json)");
  }
  const ParsedArguments parsed = ParseArguments(values.rest, {}, {"A", "B"});
  if (!parsed.error.empty()) {
    return ReportUsageError(context, "compare", parsed.error);
  }
  if (IsStandardStream(parsed.operands[0]) && IsStandardStream(parsed.operands[1])) {
    return ReportUsageError(context, "compare", "A and B cannot both be standard input");
  }
  LogImage before;
  LogImage after;
  SurveyFacts beforeFacts;
  SurveyFacts afterFacts;
  if (ResolveSurveyOperand(parsed.operands[0], "A", "compare", before, beforeFacts, context) !=
          kExitOk ||
      ResolveSurveyOperand(parsed.operands[1], "B", "compare", after, afterFacts, context) !=
          kExitOk) {
    return kExitUsage;
  }
  const SurveyComparison comparison =
      CompareSurveys(RecordValuesOf(before), RecordValuesOf(after), thresholds);
  if (!WriteToOutput(context, ComparisonText(comparison, format))) {
    return kExitUsage;
  }
  return comparison.worse > 0 ? kExitSomethingWorse : kExitOk;
}

}  // namespace klxr::cli
