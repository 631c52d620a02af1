#include "report/report_comparison.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

#include "log/comparison_writers.h"
#include "log/record_values.h"
#include "report/report_paint.h"
#include "report/report_text.h"

namespace klxr::report {
namespace {

constexpr double kTitleHeight = 30;  // the title and the summary line under it
constexpr double kLineHeight = 9;

QFont FixedFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono"),
                    QStringLiteral("Courier New")});
  font.setStyleHint(QFont::Monospace);
  font.setPointSizeF(7.5);
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}

int LinesPerPage(double bodyHeight) {
  return std::max(1, static_cast<int>((bodyHeight - kTitleHeight) / kLineHeight));
}

// A channel's line starts with its mark: + better, - worse, < or > in one survey only.
QColor LineColour(const std::string& line) {
  if (line.rfind("+ ", 0) == 0) {
    return StatusColour(StatusClass::Pass);
  }
  if (line.rfind("- ", 0) == 0) {
    return StatusColour(StatusClass::Fail);
  }
  if (line.rfind("< ", 0) == 0 || line.rfind("> ", 0) == 0) {
    return StatusColour(StatusClass::None);
  }
  return Qt::black;
}

}  // namespace

ComparisonSection MakeComparisonSection(const LogImage& before, const QString& beforeName,
                                        const LogImage& after) {
  const SurveyComparison comparison =
      CompareSurveys(RecordValuesOf(before), RecordValuesOf(after), CompareThresholds{});
  ComparisonSection section{QStringLiteral("Changes since ") + beforeName,
                            QString::fromStdString(ComparisonSummaryLine(comparison)),
                            {}};
  const std::string text = ComparisonTableText(comparison);
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
    section.lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return section;
}

int ComparisonPageCount(const ComparisonSection& section, double bodyHeight) {
  const int perPage = LinesPerPage(bodyHeight);
  return std::max<int>(1, (static_cast<int>(section.lines.size()) + perPage - 1) / perPage);
}

void PaintComparisonPage(QPainter& painter, const ComparisonSection& section, int page,
                         const QRectF& body) {
  painter.setPen(Qt::black);
  painter.setFont(ReportFont(9, true));
  const QString title = page == 0 ? section.title : section.title + QStringLiteral(" (continued)");
  DrawLine(painter, title, body.left(), body.top() + 2, body.width());
  painter.setFont(ReportFont(8));
  DrawLine(painter, section.summary, body.left(), body.top() + 15, body.width());
  painter.setFont(FixedFont());
  const QFontMetricsF metrics(painter.font());
  const int perPage = LinesPerPage(body.height());
  const std::size_t first = static_cast<std::size_t>(page) * static_cast<std::size_t>(perPage);
  const std::size_t last =
      std::min(section.lines.size(), first + static_cast<std::size_t>(perPage));
  double y = body.top() + kTitleHeight;
  for (std::size_t k = first; k < last; ++k) {
    painter.setPen(LineColour(section.lines[k]));
    painter.drawText(QPointF(body.left(), y + metrics.ascent()),
                     QString::fromStdString(section.lines[k]));
    y += kLineHeight;
  }
}

}  // namespace klxr::report
