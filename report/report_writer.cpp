// The report's pages: the header and the summary on the first page, the chart strips after them,
// then the table, every page with its number at the foot.
#include "report/report_writer.h"

#include <algorithm>
#include <ctime>
#include <optional>
#include <vector>

#include "report/report_comparison.h"
#include "report/report_content.h"
#include "report/report_paint.h"
#include "report/report_text.h"

namespace klxr::report {
namespace {

constexpr double kMargin = 40;
constexpr double kFooterHeight = 24;
constexpr double kTitleHeight = 26;
constexpr double kInfoLineHeight = 12;
constexpr double kHeaderBandHeight = 100;  // the header lines beside the summary table
constexpr double kKeyHeight = 18;
constexpr double kTableTitleHeight = 16;
constexpr int kBarsPerStrip = 25;
constexpr Colour kRuleColour{0xc0, 0xc0, 0xc0};

struct ReportContent {
  ReportSummary summary;
  std::vector<ChartBar> level;
  std::vector<ChartBar> mer;
  std::vector<ChartBar> ber;
  std::vector<std::string> lines;  // display lines in the report's units
};

ReportContent GatherContent(const LogImage& image, std::uint8_t units) {
  const int count = CountRecords(image, nullptr);
  ReportContent content{SummarizeLog(image, count),
                        LevelBars(image, count, units),
                        MerBars(image, count),
                        BerBars(image, count),
                        {}};
  DecodedEntry entry;
  for (int index = 0; index < count && FormatRecord(image, index, entry, units); ++index) {
    content.lines.push_back(entry.DisplayLine);
  }
  return content;
}

std::string UnitsName(std::uint8_t units) {
  return units == kUnitsDbuv ? "dBuV" : "dBm";
}

// The strips of one chart: runs of kBarsPerStrip bars on one axis, or one strip with a note.
void AddStrips(std::vector<ChartStrip>& strips, const ChartStrip& chart,
               const std::vector<ChartBar>& bars) {
  const int count = StripCount(static_cast<int>(bars.size()), kBarsPerStrip);
  for (int k = 0; k < count; ++k) {
    ChartStrip strip = chart;
    const std::size_t first = static_cast<std::size_t>(k) * kBarsPerStrip;
    const std::size_t taken = std::min<std::size_t>(kBarsPerStrip, bars.size() - first);
    strip.bars = std::span<const ChartBar>(bars).subspan(first, taken);
    strip.positions = kBarsPerStrip;
    if (k > 0) {
      strip.title += " (continued)";
    }
    strips.push_back(strip);
  }
}

std::vector<ChartStrip> MakeStrips(const ReportContent& content, std::uint8_t units) {
  std::vector<ChartStrip> strips;
  ChartStrip level;
  level.title = "Level (" + UnitsName(units) + ")";
  level.linear = ChooseLinearAxis(content.level);
  level.base = level.linear.low;
  level.emptyNote = "No records";
  AddStrips(strips, level, content.level);
  ChartStrip mer;
  mer.title = "MER/CN (dB), digital records";
  const double zero = 0;
  mer.linear = ChooseLinearAxis(content.mer, &zero);
  mer.emptyNote = "No digital records";
  AddStrips(strips, mer, content.mer);
  ChartStrip ber;
  ber.title = "BER, digital records";
  ber.logarithmic = true;
  ber.log = ChooseLogAxis(content.ber);
  ber.emptyNote = mer.emptyNote;
  AddStrips(strips, ber, content.ber);
  return strips;
}

// Where the log came from: the modification time of its file, or the meter; empty when not known.
std::string LogDateLine(const ReportOptions& options) {
  if (options.logReadFromMeter) {
    return "Log: read from the meter";
  }
  if (options.logFileTime) {
    return "Log file: " + LocalTimeText(*options.logFileTime, "%Y-%m-%d %H:%M");
  }
  return {};
}

void PaintHeader(Canvas& canvas, const ReportOptions& options, const ReportSummary& summary,
                 const Rect& area) {
  DrawTextLine(canvas, ReportFont(16, true), kBlack, FromUtf8(options.title), area.left, area.top,
               area.width);
  const std::string printed = options.date.empty()
                                  ? LocalTimeText(std::chrono::system_clock::now(), "%Y-%m-%d")
                                  : options.date;
  std::vector<std::string> lines;
  if (!options.site.empty()) {
    lines.push_back("Site: " + options.site);
  }
  if (!options.installer.empty()) {
    lines.push_back("Installer: " + options.installer);
  }
  lines.push_back("Printed: " + printed);
  if (const std::string logDate = LogDateLine(options); !logDate.empty()) {
    lines.push_back(logDate);
  }
  lines.push_back("Records: " + std::to_string(summary.records));
  lines.push_back("Units: " + UnitsName(options.units));
  double y = area.top + kTitleHeight + 4;
  for (const std::string& line : lines) {
    // Up to the summary beside the lines, which starts at 60% of the width.
    DrawTextLine(canvas, ReportFont(9), kBlack, FromUtf8(line), area.left, y, area.width * 0.57);
    y += kInfoLineHeight;
  }
}

// The summary beside the header: the records by kind, then by status in the key's order, each
// labelled as the table's Status column shows it.
void PaintSummary(Canvas& canvas, const ReportSummary& summary, const Rect& area) {
  std::vector<std::pair<std::string, int>> rows{{"Analogue", summary.analogue},
                                                {"Digital", summary.digital}};
  for (StatusClass status : kStatusOrder) {
    rows.emplace_back(std::string(StatusClassName(status)),
                      summary.byStatus[static_cast<std::size_t>(status)]);
  }
  const double left = area.left + area.width * 0.6;
  const double nameWidth = 70;
  const double countWidth = 50;
  const double rowHeight = 11;
  double y = area.top + kTitleHeight + 4;
  auto drawRow = [&](const Font& font, const std::string& name, const std::string& count,
                     double top) {
    const FontMetrics metrics = canvas.Metrics(font);
    const double textTop = top + (rowHeight - metrics.height()) / 2;
    DrawTextLine(canvas, font, kBlack, name, left + 2, textTop, nameWidth - 4);
    const FittedText fitted = FitText(canvas, font, count, countWidth - 4);
    DrawFitted(canvas, font, kBlack, fitted,
               {left + nameWidth + countWidth - 2 - fitted.width, textTop + metrics.ascent});
  };
  drawRow(ReportFont(8, true), "Summary", "Records", y);
  for (std::size_t k = 0; k < rows.size(); ++k) {
    y += rowHeight;
    // A rule between the two kinds and the five statuses.
    const bool ruled = k == 0 || k == 2;
    canvas.DrawLine({left, y}, {left + nameWidth + countWidth, y}, ruled ? kBlack : kRuleColour,
                    ruled ? 0.6 : 0.3);
    drawRow(ReportFont(8), rows[k].first, std::to_string(rows[k].second), y);
  }
}

void PaintFooter(Canvas& canvas, const Rect& page, int number, int total) {
  const Font font = ReportFont(8);
  const std::string text = "Page " + std::to_string(number) + " of " + std::to_string(total);
  const double width = canvas.TextWidth(font, text);
  DrawTextLine(canvas, font, kBlack, text, (page.width - width) / 2, page.bottom() - kMargin,
               width);
}

PageCapacity CapacityOf(const Rect& page) {
  const double body = page.height - 2 * kMargin - kFooterHeight;
  const double firstCharts = body - kTitleHeight - kHeaderBandHeight - kKeyHeight;
  const double rows = body - kTableTitleHeight - kTableHeadingsHeight;
  return {static_cast<int>(firstCharts / kStripHeight), static_cast<int>(body / kStripHeight),
          static_cast<int>(rows / kTableRowHeight)};
}

void PaintTablePage(Canvas& canvas, const ReportContent& content, const ReportPage& page,
                    std::uint8_t units, const Rect& body) {
  DrawTextLine(canvas, ReportFont(9, true), kBlack, "Records", body.left, body.top + 2, body.width);
  double y = body.top + kTableTitleHeight;
  y += PaintTableHeadings(canvas, units, {body.left, y, body.width, 0});
  for (int row = page.firstRow; row < page.firstRow + page.rowCount; ++row) {
    PaintTableRow(canvas, content.lines[static_cast<std::size_t>(row)],
                  {body.left, y, body.width, kTableRowHeight});
    y += kTableRowHeight;
  }
}

// The pages of changes since the earlier log, when one is given.
struct ComparisonPages {
  std::optional<ComparisonSection> section;
  int count = 0;
};

ComparisonPages PlanComparison(const ReportOptions& options, const LogImage& image,
                               const Rect& body) {
  if (options.before == nullptr) {
    return {};
  }
  ComparisonSection section = MakeComparisonSection(*options.before, options.beforeName, image);
  const int count = ComparisonPageCount(section, body.height);
  return {std::move(section), count};
}

void PaintPages(Canvas& canvas, const Rect& page, const ReportOptions& options,
                const LogImage& image, const ReportContent& content) {
  const Rect body{kMargin, kMargin, page.width - 2 * kMargin,
                  page.height - 2 * kMargin - kFooterHeight};
  const std::vector<ChartStrip> strips = MakeStrips(content, options.units);
  const std::vector<ReportPage> pages = PlanPages(
      static_cast<int>(strips.size()), static_cast<int>(content.lines.size()), CapacityOf(page));
  const ComparisonPages changes = PlanComparison(options, image, body);
  const int total = static_cast<int>(pages.size()) + changes.count;
  for (std::size_t number = 0; number < pages.size(); ++number) {
    if (number > 0) {
      canvas.NewPage();
    }
    const ReportPage& plan = pages[number];
    double y = body.top;
    if (number == 0) {
      PaintHeader(canvas, options, content.summary, body);
      PaintSummary(canvas, content.summary, body);
      y += kTitleHeight + kHeaderBandHeight;
      PaintStatusKey(canvas, {body.left, y + 10});
      y += kKeyHeight;
    }
    if (plan.table) {
      PaintTablePage(canvas, content, plan, options.units, body);
    }
    for (int k = plan.firstStrip; k < plan.firstStrip + plan.stripCount; ++k) {
      PaintChartStrip(canvas, strips[static_cast<std::size_t>(k)],
                      {body.left, y, body.width, kStripHeight});
      y += kStripHeight;
    }
    PaintFooter(canvas, page, static_cast<int>(number) + 1, total);
  }
  for (int k = 0; k < changes.count; ++k) {
    canvas.NewPage();
    PaintComparisonPage(canvas, *changes.section, k, body);
    PaintFooter(canvas, page, static_cast<int>(pages.size()) + k + 1, total);
  }
}

}  // namespace

void PaintReport(Canvas& canvas, const Rect& page, const LogImage& image,
                 const ReportOptions& options) {
  PaintPages(canvas, page, options, image, GatherContent(image, options.units));
}

Rect PaperRect(const ReportOptions& options) {
  return options.letter ? Rect{0, 0, 612, 792} : Rect{0, 0, 595, 842};
}

std::string LocalTimeText(std::chrono::system_clock::time_point time, const char* format) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  char text[64];
  const std::size_t length = std::strftime(text, sizeof text, format, &local);
  return std::string(text, length);
}

Colour StatusColour(StatusClass status) {
  switch (status) {
    case StatusClass::Pass:
      return {0x2e, 0x9d, 0x4a};
    case StatusClass::Marginal:
      return {0xe0, 0xb0, 0x00};
    case StatusClass::Fail:
      return {0xd0, 0x30, 0x30};
    case StatusClass::Poor:
      return {0xe8, 0x73, 0x1a};
    case StatusClass::None:
      break;
  }
  return {0x80, 0x90, 0xa8};
}

}  // namespace klxr::report
