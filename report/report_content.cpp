#include "report/report_content.h"

#include <algorithm>
#include <cmath>

#include "log/level_word.h"
#include "log/record_format.h"
#include "log/record_layout.h"

namespace klxr::report {
namespace {

bool IsDigital(char kind) {
  return kind == layout::kKindDigital || kind == layout::kKindDigitalOther;
}

StatusClass StatusOf(const DecodedEntry& entry) {
  if (!IsDigital(entry.Kind)) {
    return StatusClass::None;
  }
  return ClassifyStatus(StatusText(entry.StatusByte & layout::kQualityMask));
}

std::string WithoutSpaces(std::string text) {
  std::erase(text, ' ');
  return text;
}

RangeMark MarkOf(const LevelValue& level) {
  return level.overRange ? RangeMark::Over : level.underRange ? RangeMark::Under : RangeMark::None;
}

// A bar of a LevelWord: its value in dB, dBm or dBuV and the formatter's text in the same unit.
ChartBar LevelBar(const DecodedEntry& entry, int word, bool dbuv) {
  const auto levelWord = static_cast<std::uint16_t>(word);
  const LevelValue level = DecodeLevelWord(levelWord);
  const LevelTexts texts = FormatLevel(levelWord);
  ChartBar bar;
  bar.channel = entry.Channel;
  bar.frequency = entry.Frequency;
  bar.status = StatusOf(entry);
  bar.hasValue = level.hasValue;
  if (level.hasValue) {
    bar.value = dbuv ? (level.tenths * 10 + kDbuvOffsetHundredths) / 100.0 : level.tenths / 10.0;
    bar.mark = MarkOf(level);
    bar.valueText = WithoutSpaces(texts.prefix + (dbuv ? texts.dbuv : texts.dbm));
  }
  return bar;
}

// Calls make(entry) for each of the first count records that pass the filter; the bars by
// frequency, those of one frequency in log order.
template <typename Filter, typename Make>
std::vector<ChartBar> CollectBars(const LogImage& image, int count, Filter filter, Make make) {
  std::vector<ChartBar> bars;
  DecodedEntry entry;
  for (int index = 0; index < count; ++index) {
    if (FormatRecord(image, index, entry, kUnitsDbm) && filter(entry)) {
      bars.push_back(make(entry));
    }
  }
  std::stable_sort(bars.begin(), bars.end(),
                   [](const ChartBar& a, const ChartBar& b) { return a.frequency < b.frequency; });
  return bars;
}

bool AnyRecord(const DecodedEntry& /*entry*/) {
  return true;
}

bool DigitalRecord(const DecodedEntry& entry) {
  return IsDigital(entry.Kind);
}

// The smallest step of 1, 2 or 5 times a power of ten that divides span into at most ten parts.
double NiceStep(double span) {
  double decade = std::pow(10.0, std::floor(std::log10(span / 10.0)));
  for (;;) {
    for (double factor : {1.0, 2.0, 5.0}) {
      if (span / (factor * decade) <= 10.0) {
        return factor * decade;
      }
    }
    decade *= 10.0;
  }
}

}  // namespace

StatusClass ClassifyStatus(std::string_view statusText) {
  if (statusText == "PASS") {
    return StatusClass::Pass;
  }
  if (statusText == "MARGINAL") {
    return StatusClass::Marginal;
  }
  if (statusText == "FAIL") {
    return StatusClass::Fail;
  }
  if (statusText == "POOR") {
    return StatusClass::Poor;
  }
  return StatusClass::None;
}

std::string_view StatusClassName(StatusClass status) {
  switch (status) {
    case StatusClass::Pass:
      return "PASS";
    case StatusClass::Marginal:
      return "MARGINAL";
    case StatusClass::Fail:
      return "FAIL";
    case StatusClass::Poor:
      return "POOR";
    case StatusClass::None:
      break;
  }
  return "none";
}

ReportSummary SummarizeLog(const LogImage& image, int count) {
  ReportSummary summary;
  DecodedEntry entry;
  for (int index = 0; index < count; ++index) {
    if (!FormatRecord(image, index, entry, kUnitsDbm)) {
      break;
    }
    ++summary.records;
    ++(IsDigital(entry.Kind) ? summary.digital : summary.analogue);
    ++summary.byStatus[static_cast<std::size_t>(StatusOf(entry))];
  }
  return summary;
}

std::vector<ChartBar> LevelBars(const LogImage& image, int count, std::uint8_t units) {
  const bool dbuv = units == kUnitsDbuv;
  return CollectBars(image, count, AnyRecord, [dbuv](const DecodedEntry& entry) {
    return LevelBar(entry, IsDigital(entry.Kind) ? entry.DigitalPower : entry.VideoPower, dbuv);
  });
}

std::vector<ChartBar> MerBars(const LogImage& image, int count) {
  return CollectBars(image, count, DigitalRecord,
                     [](const DecodedEntry& entry) { return LevelBar(entry, entry.Mer, false); });
}

std::vector<ChartBar> BerBars(const LogImage& image, int count) {
  return CollectBars(image, count, DigitalRecord, [](const DecodedEntry& entry) {
    ChartBar bar;
    bar.channel = entry.Channel;
    bar.frequency = entry.Frequency;
    bar.status = StatusOf(entry);
    bar.hasValue = true;
    bar.value = static_cast<double>(entry.ErrorCount) * 1e-8;
    bar.valueText = BerText(entry.ErrorCount);
    return bar;
  });
}

LinearAxis ChooseLinearAxis(const std::vector<ChartBar>& bars, const double* floor) {
  bool any = false;
  double low = floor != nullptr ? *floor : 0;
  double high = low;
  for (const ChartBar& bar : bars) {
    if (!bar.hasValue) {
      continue;
    }
    const bool first = !any && floor == nullptr;
    low = first ? bar.value : std::min(low, bar.value);
    high = first ? bar.value : std::max(high, bar.value);
    any = true;
  }
  if (!any) {
    return {0, 10, 2};
  }
  // At least 10 dB across, so that a single value or close ones still get a readable scale.
  const double step = NiceStep(std::max(high - low, 10.0));
  LinearAxis axis{std::floor(low / step) * step, std::ceil(high / step) * step, step};
  // Bars grow from the foot: without a floor, the lowest value keeps a visible bar.
  if (floor == nullptr && axis.low >= low) {
    axis.low -= step;
  }
  if (axis.high <= axis.low) {
    axis.high = axis.low + step;
  }
  return axis;
}

double AxisFraction(const LinearAxis& axis, double value) {
  if (axis.high <= axis.low) {
    return 0;
  }
  return std::clamp((value - axis.low) / (axis.high - axis.low), 0.0, 1.0);
}

LogAxis ChooseLogAxis(const std::vector<ChartBar>& bars) {
  double smallest = 0;
  double largest = 0;
  for (const ChartBar& bar : bars) {
    if (bar.hasValue && bar.value > 0) {
      smallest = smallest == 0 ? bar.value : std::min(smallest, bar.value);
      largest = std::max(largest, bar.value);
    }
  }
  if (largest == 0) {
    return {};
  }
  // The tolerance keeps an exact power of ten (1E-008) on its own decade; the foot lies a decade
  // below the smallest ratio so that every ratio above 0 keeps a visible bar.
  constexpr double kTolerance = 1e-9;
  LogAxis axis{static_cast<int>(std::floor(std::log10(smallest) + kTolerance)) - 1,
               static_cast<int>(std::ceil(std::log10(largest) - kTolerance))};
  axis.highExponent = std::max(axis.highExponent, axis.lowExponent + 2);
  return axis;
}

double AxisFraction(const LogAxis& axis, double ratio) {
  if (ratio <= 0 || axis.highExponent <= axis.lowExponent) {
    return 0;
  }
  const double span = axis.highExponent - axis.lowExponent;
  return std::clamp((std::log10(ratio) - axis.lowExponent) / span, 0.0, 1.0);
}

std::vector<ReportPage> PlanPages(int stripCount, int rowCount, const PageCapacity& capacity) {
  std::vector<ReportPage> pages;
  const int firstStrips = std::max(0, capacity.firstPageStrips);
  const int perPage = std::max(1, capacity.stripsPerPage);
  const int rowsPerPage = std::max(1, capacity.rowsPerPage);
  int strip = std::min(stripCount, firstStrips);
  pages.push_back({0, strip, 0, 0, false});
  while (strip < stripCount) {
    const int taken = std::min(perPage, stripCount - strip);
    pages.push_back({strip, taken, 0, 0, false});
    strip += taken;
  }
  int row = 0;
  do {
    const int taken = std::min(rowsPerPage, rowCount - row);
    pages.push_back({0, 0, row, taken, true});
    row += taken;
  } while (row < rowCount);
  return pages;
}

int StripCount(int barCount, int perStrip) {
  const int per = std::max(1, perStrip);
  return std::max(1, (barCount + per - 1) / per);
}

}  // namespace klxr::report
