// What a report shows, worked out from the log image before anything is painted: the counts of the
// summary, the bars of the three charts, the scales of their axes and the order of the pages. Every
// text comes from the record formatter and every value from the decoded record it works on, so the
// report says exactly what the viewer and the CSV export say.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "log/log_image.h"

namespace klxr::report {

// The status of a record as its colour in the charts and its row in the summary. Analogue records
// have no status; nor have digital ones of quality 6 and 7.
enum class StatusClass { Pass, Marginal, Fail, Poor, None };
inline constexpr int kStatusClassCount = 5;

// From the status text of the formatter: "PASS", "MARGINAL", "FAIL", "POOR", anything else None.
StatusClass ClassifyStatus(std::string_view statusText);
// The summary's name of a class: the status text, "none" for None.
std::string_view StatusClassName(StatusClass status);
// The one order of the classes in the summary and the colour key: as the Quality column ranks
// them, best first, then the records without a status.
inline constexpr std::array<StatusClass, kStatusClassCount> kStatusOrder{
    StatusClass::Pass, StatusClass::Marginal, StatusClass::Poor, StatusClass::Fail,
    StatusClass::None};

struct ReportSummary {
  int records = 0;
  int analogue = 0;                               // kind 'A'
  int digital = 0;                                // kinds 'D' and 'V'
  std::array<int, kStatusClassCount> byStatus{};  // indexed by StatusClass
  bool operator==(const ReportSummary&) const = default;
};

// Counts the first count records of the image.
ReportSummary SummarizeLog(const LogImage& image, int count);

enum class RangeMark { None, Over, Under };

// One bar of a chart.
struct ChartBar {
  std::string channel{};  // the record's channel text, 8-bit
  std::uint32_t frequency = 0;
  bool hasValue = false;  // false: a gap
  double value = 0;       // in the chart's unit: dBm, dBuV, dB, or the bit error ratio
  RangeMark mark = RangeMark::None;
  std::string valueText{};  // the formatter's text: range mark and value, spaces trimmed
  StatusClass status = StatusClass::None;
  bool operator==(const ChartBar&) const = default;
};

// The bars of a chart run by frequency, records of one frequency in log order.
// The level of every record: the video power of an analogue record, the digital power of a digital
// one, in the given units (kUnitsDbm or kUnitsDbuv).
std::vector<ChartBar> LevelBars(const LogImage& image, int count, std::uint8_t units);
// The MER of every digital record, in dB.
std::vector<ChartBar> MerBars(const LogImage& image, int count);
// The bit error ratio of every digital record.
std::vector<ChartBar> BerBars(const LogImage& image, int count);

// A linear value axis: from low to high with a tick every step.
struct LinearAxis {
  double low = 0;
  double high = 0;
  double step = 0;
  bool operator==(const LinearAxis&) const = default;
};

// An axis that holds every value of the bars, its ends on whole ticks, about four to ten ticks.
// floor, when given, is included too (0 for a ratio chart whose bars grow from 0).
LinearAxis ChooseLinearAxis(const std::vector<ChartBar>& bars, const double* floor = nullptr);
// Where a value stands on the axis, 0 at low and 1 at high, clamped to 0 to 1.
double AxisFraction(const LinearAxis& axis, double value);

// A logarithmic axis over whole decades: 10^lowExponent to 10^highExponent.
struct LogAxis {
  int lowExponent = -8;
  int highExponent = -2;
  bool operator==(const LogAxis&) const = default;
};

// The decades that hold every ratio above 0 of the bars, at least two; a ratio of 0 stands at the
// foot of the axis.
LogAxis ChooseLogAxis(const std::vector<ChartBar>& bars);
// Where a ratio stands on the axis, 0 at the foot and 1 at the top, clamped; 0 for ratios <= 0.
double AxisFraction(const LogAxis& axis, double ratio);

// The pages of a report: the first holds the header, the summary and the first chart strips; then
// chart pages; then table pages, each with the column headings and its run of rows. A table without
// rows still gets one page for its headings.
struct PageCapacity {
  int firstPageStrips = 1;
  int stripsPerPage = 1;
  int rowsPerPage = 1;
};

struct ReportPage {
  int firstStrip = 0;
  int stripCount = 0;
  int firstRow = 0;
  int rowCount = 0;
  bool table = false;  // a table page: headings and rows
  bool operator==(const ReportPage&) const = default;
};

std::vector<ReportPage> PlanPages(int stripCount, int rowCount, const PageCapacity& capacity);

// How many strips of at most perStrip bars a chart of barCount bars takes: at least one, for the
// chart's title and its note that there is nothing to show.
int StripCount(int barCount, int perStrip);

}  // namespace klxr::report
