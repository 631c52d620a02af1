#include "log/comparison_writers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "log/data_text.h"

namespace klxr {
namespace {

constexpr std::array<std::string_view, 22> kColumns{"verdict",
                                                    "match",
                                                    "channel_before",
                                                    "channel_after",
                                                    "frequency_mhz_before",
                                                    "frequency_mhz_after",
                                                    "kind_before",
                                                    "kind_after",
                                                    "level_dbuv_before",
                                                    "level_dbuv_after",
                                                    "level_change_db",
                                                    "cn_db_before",
                                                    "cn_db_after",
                                                    "cn_change_db",
                                                    "mer_db_before",
                                                    "mer_db_after",
                                                    "mer_change_db",
                                                    "ber_before",
                                                    "ber_after",
                                                    "ber_change_decades",
                                                    "status_before",
                                                    "status_after"};

std::string_view MatchName(ChannelMatch match) {
  switch (match) {
    case ChannelMatch::Frequency:
      return "frequency";
    case ChannelMatch::Channel:
      return "channel";
    case ChannelMatch::OnlyBefore:
    case ChannelMatch::OnlyAfter:
      break;
  }
  return "";
}

DataCell OptionalNumber(const std::optional<double>& value, int decimals) {
  return value ? NumberCell(DecimalText(*value, decimals)) : DataCell{};
}

DataCell OptionalBer(const std::optional<double>& value) {
  return value ? NumberCell(BerNumberText(*value)) : DataCell{};
}

void AddChange(std::vector<DataCell>& cells, const ValueChange& change) {
  cells.push_back(OptionalNumber(change.before, 2));
  cells.push_back(OptionalNumber(change.after, 2));
  cells.push_back(OptionalNumber(change.change, 2));
}

std::vector<DataCell> ChannelCells(const ChannelComparison& channel) {
  std::vector<DataCell> cells;
  cells.push_back(TextCell(VerdictName(channel.verdict)));
  cells.push_back(TextCell(MatchName(channel.match)));
  const auto side = [&cells](const std::optional<RecordValues>& a,
                             const std::optional<RecordValues>& b, auto field) {
    cells.push_back(a ? field(*a) : DataCell{});
    cells.push_back(b ? field(*b) : DataCell{});
  };
  side(channel.before, channel.after,
       [](const RecordValues& r) { return TextCell(Latin1ToUtf8(r.channel)); });
  side(channel.before, channel.after,
       [](const RecordValues& r) { return NumberCell(MegahertzText(r.frequencyKhz)); });
  side(channel.before, channel.after,
       [](const RecordValues& r) { return TextCell(std::string(1, r.kind)); });
  AddChange(cells, channel.level);
  AddChange(cells, channel.carrierToNoise);
  AddChange(cells, channel.mer);
  cells.push_back(OptionalBer(channel.ber.before));
  cells.push_back(OptionalBer(channel.ber.after));
  cells.push_back(OptionalNumber(channel.ber.change, 3));
  side(channel.before, channel.after, [](const RecordValues& r) { return TextCell(r.status); });
  return cells;
}

// ---- The text table ----

constexpr int kChannelWidth = 10;
constexpr int kMegahertzWidth = 7;
constexpr int kLevelWidth = 5;
constexpr int kRatioWidth = 5;
constexpr int kChangeWidth = 5;
constexpr int kBerWidth = 6;

// Pads to width with spaces on the left (right-aligned) or right. Widths count characters: the
// text is still Latin-1 here, a byte a character.
std::string Pad(std::string_view text, int width, bool right) {
  const int fill = std::max(0, width - static_cast<int>(text.size()));
  return right ? std::string(fill, ' ') + std::string(text)
               : std::string(text) + std::string(fill, ' ');
}

// A level or ratio with one decimal and its range mark; a marked value of 100 or more drops the
// decimal to keep to the column.
std::string MeasurementText(const Measurement& measurement) {
  if (!measurement.value) {
    return "";
  }
  const std::string mark = measurement.overRange ? ">" : (measurement.underRange ? "<" : "");
  const bool wide = !mark.empty() && std::fabs(*measurement.value) >= 99.95;
  return mark + FixedText(*measurement.value, wide ? 0 : 1);
}

std::string ChangeText(const std::optional<double>& change) {
  if (!change) {
    return "";
  }
  const std::string text = FixedText(*change, 1);
  return text.front() == '-' || text == "0.0" ? text : "+" + text;
}

// "2.5e-6": one decimal, the exponent without padding; "0" for none counted.
std::string ShortBerText(const std::optional<double>& ber) {
  if (!ber) {
    return "";
  }
  if (*ber <= 0.0) {
    return "0";
  }
  int exponent = static_cast<int>(std::floor(std::log10(*ber)));
  double mantissa = std::round(*ber / std::pow(10.0, exponent) * 10.0) / 10.0;
  if (mantissa >= 10.0) {
    mantissa /= 10.0;
    ++exponent;
  }
  return FixedText(mantissa, 1) + "e" + std::to_string(exponent);
}

std::string ShortStatus(const std::string& status) {
  return status == "MARGINAL" ? "MARG" : status;
}

std::string StatusText(const ChannelComparison& channel) {
  const std::string before = channel.before ? ShortStatus(channel.before->status) : "";
  const std::string after = channel.after ? ShortStatus(channel.after->status) : "";
  if (!channel.before || !channel.after || before == after) {
    return channel.before ? before : after;
  }
  return (before.empty() ? "-" : before) + ">" + (after.empty() ? "-" : after);
}

char Mark(Verdict verdict) {
  switch (verdict) {
    case Verdict::Better:
      return '+';
    case Verdict::Worse:
      return '-';
    case Verdict::OnlyBefore:
      return '<';
    case Verdict::OnlyAfter:
      return '>';
    case Verdict::Unchanged:
      break;
  }
  return ' ';
}

// The measurement of one side, when that side is there.
template <typename Field>
std::string SideText(const std::optional<RecordValues>& side, Field field) {
  return side ? field(*side) : "";
}

std::string TableLine(const ChannelComparison& channel) {
  const RecordValues& named = channel.before ? *channel.before : *channel.after;
  const auto ratio = [](const RecordValues& r) {
    return MeasurementText(r.kind == 'A' ? r.carrierToNoise : r.mer);
  };
  const auto level = [](const RecordValues& r) { return MeasurementText(r.level); };
  const ValueChange& ratioChange = named.kind == 'A' ? channel.carrierToNoise : channel.mer;
  std::string line(1, Mark(channel.verdict));
  line += " " + Pad(named.channel, kChannelWidth, false);
  line += " " + Pad(FixedText(named.frequencyKhz / 1000.0, 3), kMegahertzWidth, true);
  line += " " + Pad(SideText(channel.before, level), kLevelWidth, true);
  line += " " + Pad(SideText(channel.after, level), kLevelWidth, true);
  line += " " + Pad(ChangeText(channel.level.change), kChangeWidth, true);
  line += " " + Pad(SideText(channel.before, ratio), kRatioWidth, true);
  line += " " + Pad(SideText(channel.after, ratio), kRatioWidth, true);
  line += " " + Pad(ChangeText(ratioChange.change), kChangeWidth, true);
  line += " " + Pad(ShortBerText(channel.ber.before), kBerWidth, true);
  line += " " + Pad(ShortBerText(channel.ber.after), kBerWidth, true);
  line += " " + StatusText(channel);
  while (!line.empty() && line.back() == ' ') {
    line.pop_back();
  }
  return Latin1ToUtf8(line) + "\n";
}

std::string TableHeadings() {
  const std::string groupGap(2 + kChannelWidth + 1 + kMegahertzWidth, ' ');
  const int levelGroup = kLevelWidth * 2 + kChangeWidth + 2;
  const int ratioGroup = kRatioWidth * 2 + kChangeWidth + 2;
  std::string first = groupGap + " " + Pad("Level dBuV", levelGroup, false) + " " +
                      Pad("MER/CN dB", ratioGroup, false) + " BER";
  std::string second =
      "  " + Pad("Channel", kChannelWidth, false) + " " + Pad("MHz", kMegahertzWidth, true);
  for (const int width : {kLevelWidth, kRatioWidth}) {
    second += " " + Pad("was", width, true) + " " + Pad("now", width, true) + " " +
              Pad("chg", kChangeWidth, true);
  }
  second += " " + Pad("was", kBerWidth, true) + " " + Pad("now", kBerWidth, true) + " Status";
  return first + "\n" + second + "\n";
}

std::string DecadesText(double decades) {
  return DecimalText(decades, 3) + (decades == 1.0 ? " decade" : " decades");
}

}  // namespace

std::string_view VerdictName(Verdict verdict) {
  switch (verdict) {
    case Verdict::Better:
      return "better";
    case Verdict::Worse:
      return "worse";
    case Verdict::OnlyBefore:
      return "only_before";
    case Verdict::OnlyAfter:
      return "only_after";
    case Verdict::Unchanged:
      break;
  }
  return "unchanged";
}

std::string ComparisonSummaryLine(const SurveyComparison& comparison) {
  return std::to_string(comparison.better) + " better, " + std::to_string(comparison.worse) +
         " worse, " + std::to_string(comparison.unchanged) + " unchanged; " +
         std::to_string(comparison.onlyBefore) + " only before, " +
         std::to_string(comparison.onlyAfter) + " only after";
}

std::string ComparisonTableText(const SurveyComparison& comparison) {
  std::string text = TableHeadings();
  for (const ChannelComparison& channel : comparison.channels) {
    text += TableLine(channel);
  }
  text += "\n" + ComparisonSummaryLine(comparison) + "\n";
  text += "Thresholds: " + DecimalText(comparison.thresholds.levelDb, 2) +
          " dB for levels, C/N and MER; " + DecadesText(comparison.thresholds.berDecades) +
          " for the BER\n";
  text += "Marks: + better, - worse, < only before (A), > only after (B)\n";
  return text;
}

std::string ComparisonCsvText(const SurveyComparison& comparison) {
  std::vector<DataCell> header;
  for (const std::string_view name : kColumns) {
    header.push_back(TextCell(name));
  }
  std::string text = CsvLine(header);
  for (const ChannelComparison& channel : comparison.channels) {
    text += CsvLine(ChannelCells(channel));
  }
  return text;
}

std::string ComparisonJsonText(const SurveyComparison& comparison) {
  constexpr std::array<std::string_view, 2> kThresholdNames{"level_db", "ber_decades"};
  const std::array<DataCell, 2> thresholds{
      NumberCell(DecimalText(comparison.thresholds.levelDb, 2)),
      NumberCell(DecimalText(comparison.thresholds.berDecades, 3))};
  constexpr std::array<std::string_view, 5> kCountNames{"better", "worse", "unchanged",
                                                        "only_before", "only_after"};
  std::array<DataCell, 5> counts;
  const int values[] = {comparison.better, comparison.worse, comparison.unchanged,
                        comparison.onlyBefore, comparison.onlyAfter};
  for (std::size_t i = 0; i < counts.size(); ++i) {
    counts[i] = NumberCell(std::to_string(values[i]));
  }
  std::string text = "{\n  \"thresholds\": {" + JsonMembers(kThresholdNames, thresholds, ", ") +
                     "},\n  \"summary\": {" + JsonMembers(kCountNames, counts, ", ") +
                     "},\n  \"channels\": [";
  for (std::size_t i = 0; i < comparison.channels.size(); ++i) {
    text += i > 0 ? ",\n    {" : "\n    {";
    text += JsonMembers(kColumns, ChannelCells(comparison.channels[i]), ", ") + "}";
  }
  text += comparison.channels.empty() ? "]\n}\n" : "\n  ]\n}\n";
  return text;
}

}  // namespace klxr
