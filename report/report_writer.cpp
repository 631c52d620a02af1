// The report's pages: the header and the summary on the first page, the chart strips after them,
// then the table, every page with its number at the foot.
#include "report/report_writer.h"

#include <QBuffer>
#include <QDate>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
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

QString UnitsName(std::uint8_t units) {
  return units == kUnitsDbuv ? QStringLiteral("dBuV") : QStringLiteral("dBm");
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
      strip.title += QStringLiteral(" (continued)");
    }
    strips.push_back(strip);
  }
}

std::vector<ChartStrip> MakeStrips(const ReportContent& content, std::uint8_t units) {
  std::vector<ChartStrip> strips;
  ChartStrip level;
  level.title = QStringLiteral("Level (%1)").arg(UnitsName(units));
  level.linear = ChooseLinearAxis(content.level);
  level.base = level.linear.low;
  level.emptyNote = QStringLiteral("No records");
  AddStrips(strips, level, content.level);
  ChartStrip mer;
  mer.title = QStringLiteral("MER/CN (dB), digital records");
  const double zero = 0;
  mer.linear = ChooseLinearAxis(content.mer, &zero);
  mer.emptyNote = QStringLiteral("No digital records");
  AddStrips(strips, mer, content.mer);
  ChartStrip ber;
  ber.title = QStringLiteral("BER, digital records");
  ber.logarithmic = true;
  ber.log = ChooseLogAxis(content.ber);
  ber.emptyNote = mer.emptyNote;
  AddStrips(strips, ber, content.ber);
  return strips;
}

// Where the log came from: the modification time of its file, or the meter; empty when not known.
QString LogDateLine(const ReportOptions& options) {
  if (options.logReadFromMeter) {
    return QStringLiteral("Log: read from the meter");
  }
  if (options.logFileTime.isValid()) {
    return QStringLiteral("Log file: ") +
           options.logFileTime.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
  }
  return {};
}

void PaintHeader(QPainter& painter, const ReportOptions& options, const ReportSummary& summary,
                 const QRectF& area) {
  painter.setPen(Qt::black);
  painter.setFont(ReportFont(16, true));
  DrawLine(painter, options.title, area.left(), area.top(), area.width());
  const QString printed =
      options.date.isEmpty() ? QDate::currentDate().toString(Qt::ISODate) : options.date;
  QStringList lines;
  if (!options.site.isEmpty()) {
    lines << QStringLiteral("Site: ") + options.site;
  }
  if (!options.installer.isEmpty()) {
    lines << QStringLiteral("Installer: ") + options.installer;
  }
  lines << QStringLiteral("Printed: ") + printed;
  if (const QString logDate = LogDateLine(options); !logDate.isEmpty()) {
    lines << logDate;
  }
  lines << QStringLiteral("Records: %1").arg(summary.records)
        << QStringLiteral("Units: ") + UnitsName(options.units);
  painter.setFont(ReportFont(9));
  double y = area.top() + kTitleHeight + 4;
  for (const QString& line : lines) {
    // Up to the summary beside the lines, which starts at 60% of the width.
    DrawLine(painter, line, area.left(), y, area.width() * 0.57);
    y += kInfoLineHeight;
  }
}

// The summary beside the header: the records by kind, then by status in the key's order, each
// labelled as the table's Status column shows it.
void PaintSummary(QPainter& painter, const ReportSummary& summary, const QRectF& area) {
  std::vector<std::pair<QString, int>> rows{{QStringLiteral("Analogue"), summary.analogue},
                                            {QStringLiteral("Digital"), summary.digital}};
  for (StatusClass status : kStatusOrder) {
    const std::string_view name = StatusClassName(status);
    rows.emplace_back(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())),
                      summary.byStatus[static_cast<std::size_t>(status)]);
  }
  const double left = area.left() + area.width() * 0.6;
  const double nameWidth = 70;
  const double countWidth = 50;
  const double rowHeight = 11;
  double y = area.top() + kTitleHeight + 4;
  painter.setFont(ReportFont(8, true));
  auto drawRow = [&](const QString& name, const QString& count, double top) {
    const QFontMetricsF metrics(painter.font());
    const double textTop = top + (rowHeight - metrics.height()) / 2;
    DrawLine(painter, name, left + 2, textTop, nameWidth - 4);
    const FittedText fitted = FitText(metrics, count, countWidth - 4);
    DrawFitted(
        painter, fitted,
        QPointF(left + nameWidth + countWidth - 2 - fitted.width, textTop + metrics.ascent()));
  };
  drawRow(QStringLiteral("Summary"), QStringLiteral("Records"), y);
  painter.setFont(ReportFont(8));
  for (std::size_t k = 0; k < rows.size(); ++k) {
    y += rowHeight;
    // A rule between the two kinds and the five statuses.
    const bool ruled = k == 0 || k == 2;
    painter.setPen(QPen(ruled ? Qt::black : QColor(0xc0, 0xc0, 0xc0), ruled ? 0.6 : 0.3));
    painter.drawLine(QPointF(left, y), QPointF(left + nameWidth + countWidth, y));
    painter.setPen(Qt::black);
    drawRow(rows[k].first, QString::number(rows[k].second), y);
  }
}

void PaintFooter(QPainter& painter, const QRectF& page, int number, int total) {
  painter.setPen(Qt::black);
  painter.setFont(ReportFont(8));
  const QString text = QStringLiteral("Page %1 of %2").arg(number).arg(total);
  const double width = QFontMetricsF(painter.font()).horizontalAdvance(text);
  DrawLine(painter, text, (page.width() - width) / 2, page.bottom() - kMargin, width);
}

PageCapacity CapacityOf(const QRectF& page) {
  const double body = page.height() - 2 * kMargin - kFooterHeight;
  const double firstCharts = body - kTitleHeight - kHeaderBandHeight - kKeyHeight;
  const double rows = body - kTableTitleHeight - kTableHeadingsHeight;
  return {static_cast<int>(firstCharts / kStripHeight), static_cast<int>(body / kStripHeight),
          static_cast<int>(rows / kTableRowHeight)};
}

void PaintTablePage(QPainter& painter, const ReportContent& content, const ReportPage& page,
                    std::uint8_t units, const QRectF& body) {
  painter.setPen(Qt::black);
  painter.setFont(ReportFont(9, true));
  DrawLine(painter, QStringLiteral("Records"), body.left(), body.top() + 2, body.width());
  double y = body.top() + kTableTitleHeight;
  y += PaintTableHeadings(painter, units, QRectF(body.left(), y, body.width(), 0));
  for (int row = page.firstRow; row < page.firstRow + page.rowCount; ++row) {
    PaintTableRow(painter, content.lines[static_cast<std::size_t>(row)],
                  QRectF(body.left(), y, body.width(), kTableRowHeight));
    y += kTableRowHeight;
  }
}

// The pages of changes since the earlier log, when one is given.
struct ComparisonPages {
  std::optional<ComparisonSection> section;
  int count = 0;
};

ComparisonPages PlanComparison(const ReportOptions& options, const LogImage& image,
                               const QRectF& body) {
  if (options.before == nullptr) {
    return {};
  }
  ComparisonSection section = MakeComparisonSection(*options.before, options.beforeName, image);
  const int count = ComparisonPageCount(section, body.height());
  return {std::move(section), count};
}

void PaintPages(QPainter& painter, const QRectF& page, const std::function<void()>& newPage,
                const ReportOptions& options, const LogImage& image, const ReportContent& content) {
  const QRectF body(kMargin, kMargin, page.width() - 2 * kMargin,
                    page.height() - 2 * kMargin - kFooterHeight);
  const std::vector<ChartStrip> strips = MakeStrips(content, options.units);
  const std::vector<ReportPage> pages = PlanPages(
      static_cast<int>(strips.size()), static_cast<int>(content.lines.size()), CapacityOf(page));
  const ComparisonPages changes = PlanComparison(options, image, body);
  const int total = static_cast<int>(pages.size()) + changes.count;
  for (std::size_t number = 0; number < pages.size(); ++number) {
    if (number > 0) {
      newPage();
    }
    const ReportPage& plan = pages[number];
    double y = body.top();
    if (number == 0) {
      PaintHeader(painter, options, content.summary, body);
      PaintSummary(painter, content.summary, body);
      y += kTitleHeight + kHeaderBandHeight;
      PaintStatusKey(painter, QPointF(body.left(), y + 10));
      y += kKeyHeight;
    }
    if (plan.table) {
      PaintTablePage(painter, content, plan, options.units, body);
    }
    for (int k = plan.firstStrip; k < plan.firstStrip + plan.stripCount; ++k) {
      PaintChartStrip(painter, strips[static_cast<std::size_t>(k)],
                      QRectF(body.left(), y, body.width(), kStripHeight));
      y += kStripHeight;
    }
    PaintFooter(painter, page, static_cast<int>(number) + 1, total);
  }
  for (int k = 0; k < changes.count; ++k) {
    newPage();
    PaintComparisonPage(painter, *changes.section, k, body);
    PaintFooter(painter, page, static_cast<int>(pages.size()) + k + 1, total);
  }
}

}  // namespace

void PaintReport(QPainter& painter, const QRectF& page, const std::function<void()>& newPage,
                 const LogImage& image, const ReportOptions& options) {
  PaintPages(painter, page, newPage, options, image, GatherContent(image, options.units));
}

QByteArray RenderReport(const LogImage& image, const ReportOptions& options) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(options.letter ? QPageSize::Letter : QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Portrait);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    writer.setResolution(72);
    writer.setTitle(options.title);
    writer.setCreator(QStringLiteral("klxr-log"));
    QPainter painter(&writer);
    PaintReport(
        painter, writer.pageLayout().fullRectPoints(), [&writer] { writer.newPage(); }, image,
        options);
  }
  buffer.close();
  return bytes;
}

QFont ReportFont(double pointSize, bool bold) {
  QFont font;
  font.setFamilies(
      {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
  font.setPointSizeF(pointSize);
  font.setBold(bold);
  // No ligatures: a text tool reads "Log file" as typed, not with an "fi" glyph.
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}

QColor StatusColour(StatusClass status) {
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

QString Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace klxr::report
