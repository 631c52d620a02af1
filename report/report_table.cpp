// The table of a report: the display lines of the log viewer, each field in the viewer's column,
// under the viewer's headings. A field runs on over empty columns to its right; one still wider
// than its room is condensed a little and, beyond that, shortened with an ellipsis, so that it
// never reaches the next field's text. The headings take the largest font in which each fits its
// share of the line, on one line or, failing that, on two.
#include <QPainter>
#include <QStringList>

#include "report/report_paint.h"
#include "report/report_table_layout.h"
#include "report/report_text.h"

namespace klxr::report {
namespace {

constexpr double kTableFontSize = 6.3;
constexpr double kHeadingFontSize = 6.5;
constexpr double kSmallestHeadingFontSize = 5;
constexpr double kHeadingLineStep = 8.5;
constexpr double kFieldGap = 2;
// A field may be condensed to this share of its width before it is shortened.
constexpr double kFieldMinimumScale = 0.8;

// The range marks are fields of their own in a display line, each followed by its value.
bool IsRangeMarkField(std::size_t field) {
  return field == 7 || field == 9 || field == 13 || field == 15;
}

// The fields of a display line as the table draws them: a range mark and its value as one text in
// the mark's column, so that the two never stand as texts that touch.
QStringList TableFields(const std::string& displayLine) {
  QStringList fields = Latin1(displayLine).split(QLatin1Char('\t'));
  for (qsizetype k = 0; k + 1 < fields.size(); ++k) {
    if (IsRangeMarkField(static_cast<std::size_t>(k)) && !fields[k].trimmed().isEmpty()) {
      fields[k] += fields[k + 1];
      fields[k + 1].clear();
    }
  }
  return fields;
}

// The span of a line of headings that heading k may take: between the middles of the gaps to its
// neighbours' labels, less half the gap on each side; the table's edges at the ends.
std::pair<double, double> HeadingSpan(const std::vector<TableHeading>& headings, std::size_t k,
                                      double width) {
  const TableHeading& heading = headings[k];
  const double low =
      k == 0 ? 0 : (headings[k - 1].left + headings[k - 1].width + heading.left + kFieldGap) / 2;
  const double high = k + 1 == headings.size()
                          ? width
                          : (heading.left + heading.width + headings[k + 1].left - kFieldGap) / 2;
  return {low, high};
}

QString HeadingText(const TableHeading& heading) {
  return QString::fromLatin1(heading.text.data(), static_cast<qsizetype>(heading.text.size()));
}

// True when every heading fits its span in the painter's font, on at most maxLines lines.
bool HeadingsFit(const QFontMetricsF& metrics, const std::vector<TableHeading>& headings,
                 double width, int maxLines) {
  for (std::size_t k = 0; k < headings.size(); ++k) {
    const auto [low, high] = HeadingSpan(headings, k, width);
    const QString text = HeadingText(headings[k]);
    if (WrapText(metrics, text, high - low, maxLines).join(QLatin1Char(' ')) != text.simplified()) {
      return false;
    }
  }
  return true;
}

// Paints one line of headings (the unit names, or the column names), each in its span, centred
// on its label or from the label's left edge.
void PaintHeadingLine(QPainter& painter, const std::vector<TableHeading>& headings,
                      const QRectF& area, double top, int maxLines) {
  const QFontMetricsF metrics(painter.font());
  for (std::size_t k = 0; k < headings.size(); ++k) {
    const TableHeading& heading = headings[k];
    const auto [low, high] = HeadingSpan(headings, k, area.width());
    const QStringList lines = WrapText(metrics, HeadingText(heading), high - low, maxLines);
    for (qsizetype line = 0; line < lines.size(); ++line) {
      const double width = metrics.horizontalAdvance(lines[line]);
      const double wanted =
          heading.centred ? heading.left + (heading.width - width) / 2 : heading.left;
      const double left = std::clamp(wanted, low, std::max(low, high - width));
      painter.drawText(
          QPointF(area.left() + left, top + line * kHeadingLineStep + metrics.ascent()),
          lines[line]);
    }
  }
}

// The largest heading font, down to a smallest size, in which every heading fits whole on one line
// or, failing that, on two; returns the lines each heading may take.
int ChooseHeadingFont(QPainter& painter, const std::vector<TableHeading>& names, double width) {
  for (int lines = 1; lines <= 2; ++lines) {
    for (double size = kHeadingFontSize; size >= kSmallestHeadingFontSize; size -= 0.25) {
      painter.setFont(ReportFont(size, true));
      if (HeadingsFit(QFontMetricsF(painter.font()), names, width, lines)) {
        return lines;
      }
    }
  }
  return 2;
}

}  // namespace

double PaintTableHeadings(QPainter& painter, std::uint8_t units, const QRectF& area) {
  painter.save();
  painter.setPen(Qt::black);
  std::vector<TableHeading> unitNames;
  std::vector<TableHeading> names;
  for (const TableHeading& heading : TableHeadings(units, area.width())) {
    (heading.unitLine ? unitNames : names).push_back(heading);
  }
  const int lines = ChooseHeadingFont(painter, names, area.width());
  PaintHeadingLine(painter, unitNames, area, area.top() + 2, 1);
  PaintHeadingLine(painter, names, area, area.top() + 2 + kHeadingLineStep, lines);
  const double bottom = area.top() + kTableHeadingsHeight - 2.5;
  painter.setPen(QPen(Qt::black, 0.6));
  painter.drawLine(QPointF(area.left(), bottom), QPointF(area.right(), bottom));
  painter.restore();
  return kTableHeadingsHeight;
}

void PaintTableRow(QPainter& painter, const std::string& displayLine, const QRectF& row) {
  const QStringList fields = TableFields(displayLine);
  const std::vector<double> lefts = TableColumnLefts(row.width());
  std::vector<bool> empty;
  for (const QString& field : fields) {
    empty.push_back(field.trimmed().isEmpty());
  }
  painter.save();
  painter.setFont(ReportFont(kTableFontSize));
  painter.setPen(Qt::black);
  const QFontMetricsF metrics(painter.font());
  const double baseline = row.top() + (row.height() + metrics.ascent() - metrics.descent()) / 2;
  for (qsizetype k = 0; k < fields.size() && static_cast<std::size_t>(k) < lefts.size(); ++k) {
    const auto field = static_cast<std::size_t>(k);
    if (empty[field]) {
      continue;
    }
    const double room = FieldRoom(lefts, empty, field, row.width(), kFieldGap);
    DrawFitted(painter, FitText(metrics, fields[k], room, kFieldMinimumScale),
               QPointF(row.left() + lefts[field], baseline));
  }
  painter.restore();
}

}  // namespace klxr::report
