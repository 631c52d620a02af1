#include "desktop/comparison_table.h"

#include <algorithm>
#include <optional>

#include "log/comparison_writers.h"
#include "log/data_text.h"

namespace klxr {
namespace {

// The verdict's word as people read it: "only before" where the data files say "only_before".
std::string VerdictText(Verdict verdict) {
  std::string text(VerdictName(verdict));
  std::replace(text.begin(), text.end(), '_', ' ');
  return text;
}

std::string MeasurementText(const Measurement& measurement) {
  if (!measurement.value) {
    return "";
  }
  const std::string mark = measurement.overRange ? ">" : (measurement.underRange ? "<" : "");
  return mark + DecimalText(*measurement.value, 2);
}

std::string ChangeText(const std::optional<double>& change, int decimals) {
  if (!change) {
    return "";
  }
  const std::string text = DecimalText(*change, decimals);
  return text.front() == '-' || text == "0" ? text : "+" + text;
}

std::string BerText(const std::optional<double>& ber) {
  return ber ? BerNumberText(*ber) : "";
}

// Analogue records carry a C/N, digital ones a MER: one column shows whichever the record has.
const Measurement& RatioOf(const RecordValues& record) {
  return record.kind == 'A' ? record.carrierToNoise : record.mer;
}

template <typename Field>
std::string SideText(const std::optional<RecordValues>& side, Field field) {
  return side ? field(*side) : "";
}

std::string NamesText(const ChannelComparison& channel, std::string RecordValues::*field) {
  const std::string before = channel.before ? (*channel.before).*field : "";
  const std::string after = channel.after ? (*channel.after).*field : "";
  if (!channel.before || !channel.after || before == after) {
    return Latin1ToUtf8(channel.before ? before : after);
  }
  return Latin1ToUtf8(before) + " / " + Latin1ToUtf8(after);
}

}  // namespace

std::array<std::string, kComparisonHeadings.size()> ComparisonRow(
    const ChannelComparison& channel) {
  const RecordValues& named = channel.before ? *channel.before : *channel.after;
  const ValueChange& ratioChange = named.kind == 'A' ? channel.carrierToNoise : channel.mer;
  const auto level = [](const RecordValues& r) { return MeasurementText(r.level); };
  const auto ratio = [](const RecordValues& r) { return MeasurementText(RatioOf(r)); };
  return {VerdictText(channel.verdict),
          NamesText(channel, &RecordValues::channel),
          MegahertzText(named.frequencyKhz),
          SideText(channel.before, level),
          SideText(channel.after, level),
          ChangeText(channel.level.change, 2),
          SideText(channel.before, ratio),
          SideText(channel.after, ratio),
          ChangeText(ratioChange.change, 2),
          BerText(channel.ber.before),
          BerText(channel.ber.after),
          ChangeText(channel.ber.change, 2),
          NamesText(channel, &RecordValues::status)};
}

ComparisonTable MakeComparisonTable(const SurveyComparison& comparison, std::string title) {
  ComparisonTable table;
  table.title = std::move(title);
  for (const ChannelComparison& channel : comparison.channels) {
    table.rows.push_back(ComparisonRow(channel));
    table.verdicts.push_back(channel.verdict);
  }
  table.summary = ComparisonSummaryLine(comparison);
  table.units =
      "Levels in dBuV, MER and C/N in dB, BER changes in decades (a factor of 10 each). "
      "A change counts beyond " +
      DecimalText(comparison.thresholds.levelDb, 2) + " dB or " +
      DecimalText(comparison.thresholds.berDecades, 2) + " decade(s).";
  return table;
}

}  // namespace klxr
