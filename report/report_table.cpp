// The table of a report: the display lines of the log viewer, each field in the viewer's column,
// under the viewer's headings. A field wider than its room runs on over empty columns to its
// right and is drawn condensed only where it would reach the next field's text.
#include <QPainter>
#include <QStringList>

#include "report/report_paint.h"
#include "report/report_table_layout.h"

namespace klxr::report {
namespace {

constexpr double kTableFontSize = 6.3;
constexpr double kFieldGap = 2;

}  // namespace

double PaintTableHeadings(QPainter& painter, std::uint8_t units, const QRectF& area) {
  painter.save();
  painter.setPen(Qt::black);
  painter.setFont(ReportFont(6.5, true));
  const double lineHeight = 10;
  for (const TableHeading& heading : TableHeadings(units, area.width())) {
    const double top = area.top() + (heading.unitLine ? 2 : 2 + lineHeight);
    const QString text =
        QString::fromLatin1(heading.text.data(), static_cast<qsizetype>(heading.text.size()));
    // A heading may be wider than its label; it keeps its centre, or its left edge.
    const double natural = painter.fontMetrics().horizontalAdvance(text);
    const double width = std::max(heading.width, natural);
    const double left = heading.centred ? heading.left + (heading.width - width) / 2 : heading.left;
    painter.drawText(QRectF(area.left() + left, top, width, lineHeight),
                     (heading.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter, text);
  }
  const double bottom = area.top() + kTableHeadingsHeight - 2;
  painter.setPen(QPen(Qt::black, 0.6));
  painter.drawLine(QPointF(area.left(), bottom), QPointF(area.right(), bottom));
  painter.restore();
  return kTableHeadingsHeight;
}

void PaintTableRow(QPainter& painter, const std::string& displayLine, const QRectF& row) {
  const QStringList fields = Latin1(displayLine).split(QLatin1Char('\t'));
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
    if (empty[static_cast<std::size_t>(k)]) {
      continue;
    }
    const auto field = static_cast<std::size_t>(k);
    const double natural = metrics.horizontalAdvance(fields[k]);
    const double room = FieldRoom(lefts, empty, field, row.width(), kFieldGap);
    const double left = row.left() + lefts[field];
    if (natural <= room || room <= 0) {
      // Most fields fit: drawn straight on the row's baseline, which keeps the document small.
      painter.drawText(QPointF(left, baseline), fields[k]);
      continue;
    }
    painter.save();
    painter.translate(left, baseline);
    painter.scale(room / natural, 1.0);
    painter.drawText(QPointF(0, 0), fields[k]);
    painter.restore();
  }
  painter.restore();
}

}  // namespace klxr::report
