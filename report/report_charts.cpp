// The charts of a report: one strip per run of bars, a value axis on the left, one bar per record
// by frequency, the formatter's value text above each bar and the channel below it. Every text
// runs across the page, so that text tools read the page the right way up, and is fitted to its
// bar's slot or its axis.
#include <QPainter>
#include <cmath>

#include "report/report_paint.h"
#include "report/report_text.h"

namespace klxr::report {
namespace {

constexpr double kTitleHeight = 14;
constexpr double kAxisLabelWidth = 34;
constexpr double kPlotHeight = 104;
constexpr double kValueHeadroom = 16;  // above the highest bar, for its value text
constexpr double kBarShare = 0.7;      // of a bar's slot
constexpr double kLabelGap = 1.5;      // between the labels of neighbouring slots
// A label may be condensed to this share of its width before it is shortened.
constexpr double kLabelMinimumScale = 0.6;

const QColor kGridColour(0xd8, 0xd8, 0xd8);
const QColor kAxisColour(0x40, 0x40, 0x40);

// Draws text centred in a bar's slot on the line that starts at top, fitted to the slot so that
// neighbouring labels never touch.
void DrawLabel(QPainter& painter, const QString& text, double centre, double top, double room) {
  const QFontMetricsF metrics(painter.font());
  const FittedText fitted = FitText(metrics, text, room, kLabelMinimumScale);
  DrawFitted(painter, fitted, QPointF(centre - fitted.width / 2, top + metrics.ascent()));
}

// A value's text above its bar, ending just over bottom. A ratio in scientific notation is too wide
// for a slot: its exponent goes on a second line ("2.87" over "E-002").
void DrawValueLabel(QPainter& painter, const QString& text, double centre, double bottom,
                    double room) {
  // Each line is its font's height and a little space apart.
  const double height = QFontMetricsF(painter.font()).height() + 0.5;
  const qsizetype exponent = text.indexOf(QLatin1Char('E'));
  if (exponent <= 0) {
    DrawLabel(painter, text, centre, bottom - height, room);
    return;
  }
  DrawLabel(painter, text.left(exponent), centre, bottom - 2 * height, room);
  DrawLabel(painter, text.mid(exponent), centre, bottom - height, room);
}

// The height of the axis where a value stands: 0 at the foot, 1 at the top.
double Fraction(const ChartStrip& strip, double value) {
  return strip.logarithmic ? AxisFraction(strip.log, value) : AxisFraction(strip.linear, value);
}

void PaintGrid(QPainter& painter, const ChartStrip& strip, const QRectF& axisArea) {
  painter.setFont(ReportFont(6));
  const QFontMetricsF metrics(painter.font());
  const double labelRoom = kAxisLabelWidth - 3;
  // A tick's label is left out where it would come within a line of the last one drawn.
  double lastLabelY = -1e9;
  auto tick = [&](double fraction, const QString& label) {
    const double y = axisArea.bottom() - fraction * axisArea.height();
    painter.setPen(QPen(kGridColour, 0.4));
    painter.drawLine(QPointF(axisArea.left(), y), QPointF(axisArea.right(), y));
    if (std::abs(y - lastLabelY) <= metrics.height() + 1) {
      return;
    }
    lastLabelY = y;
    painter.setPen(kAxisColour);
    const FittedText fitted = FitText(metrics, label, labelRoom);
    const double baseline = y + (metrics.ascent() - metrics.descent()) / 2;
    DrawFitted(painter, fitted, QPointF(axisArea.left() - 3 - fitted.width, baseline));
  };
  if (strip.logarithmic) {
    for (int exponent = strip.log.lowExponent; exponent <= strip.log.highExponent; ++exponent) {
      tick(AxisFraction(strip.log, std::pow(10.0, exponent)), QStringLiteral("1E%1").arg(exponent));
    }
    return;
  }
  const LinearAxis& axis = strip.linear;
  const int steps = static_cast<int>(std::lround((axis.high - axis.low) / axis.step));
  for (int k = 0; k <= steps; ++k) {
    const double value = axis.low + k * axis.step;
    tick(AxisFraction(axis, value), QString::number(value, 'g', 6));
  }
}

void PaintBar(QPainter& painter, const ChartStrip& strip, const ChartBar& bar, const QRectF& slot,
              const QRectF& axisArea) {
  const double room = slot.width() - kLabelGap;
  painter.setPen(kAxisColour);
  painter.setFont(ReportFont(6));
  DrawLabel(painter, Latin1(bar.channel), slot.center().x(), axisArea.bottom() + 2, room);
  if (!bar.hasValue) {
    return;
  }
  const double base = strip.logarithmic ? 0 : Fraction(strip, strip.base);
  const double top = Fraction(strip, bar.value);
  const double yBase = axisArea.bottom() - base * axisArea.height();
  const double yTop = axisArea.bottom() - top * axisArea.height();
  const double width = slot.width() * kBarShare;
  const QRectF body(slot.center().x() - width / 2, std::min(yBase, yTop), width,
                    std::abs(yBase - yTop));
  const QColor colour = StatusColour(bar.status);
  if (bar.mark == RangeMark::None) {
    painter.fillRect(body, colour);
  } else {
    // A value beyond the meter's range: an outlined, hatched bar, its mark in the value text.
    painter.fillRect(body, QBrush(colour, Qt::BDiagPattern));
    painter.setPen(QPen(colour, 0.8));
    painter.drawRect(body);
  }
  painter.setPen(Qt::black);
  painter.setFont(ReportFont(5.5, bar.mark != RangeMark::None));
  DrawValueLabel(painter, Latin1(bar.valueText), slot.center().x(), std::min(yBase, yTop) - 1,
                 room);
}

}  // namespace

void PaintChartStrip(QPainter& painter, const ChartStrip& strip, const QRectF& area) {
  painter.save();
  painter.setPen(Qt::black);
  painter.setFont(ReportFont(9, true));
  DrawLine(painter, strip.title, area.left(), area.top(), area.width());
  const QRectF plot(area.left() + kAxisLabelWidth, area.top() + kTitleHeight + 4,
                    area.width() - kAxisLabelWidth, kPlotHeight);
  const QRectF axisArea = plot.adjusted(0, kValueHeadroom, 0, 0);
  if (strip.bars.empty()) {
    painter.setFont(ReportFont(8));
    painter.setPen(kAxisColour);
    const QFontMetricsF metrics(painter.font());
    const FittedText note = FitText(metrics, strip.emptyNote, plot.width());
    DrawFitted(painter, note, QPointF(plot.center().x() - note.width / 2, plot.center().y()));
    painter.restore();
    return;
  }
  PaintGrid(painter, strip, axisArea);
  const double slotWidth = plot.width() / std::max<std::size_t>(strip.positions, strip.bars.size());
  for (std::size_t k = 0; k < strip.bars.size(); ++k) {
    const QRectF slot(plot.left() + k * slotWidth, plot.top(), slotWidth, plot.height());
    PaintBar(painter, strip, strip.bars[k], slot, axisArea);
  }
  painter.setPen(QPen(kAxisColour, 0.8));
  painter.drawLine(axisArea.bottomLeft(), axisArea.bottomRight());
  painter.drawLine(axisArea.bottomLeft(), axisArea.topLeft());
  painter.restore();
}

double PaintStatusKey(QPainter& painter, QPointF leftBaseline) {
  painter.save();
  painter.setFont(ReportFont(7));
  const QFontMetricsF metrics(painter.font());
  double x = leftBaseline.x();
  for (StatusClass status : kStatusOrder) {
    painter.fillRect(QRectF(x, leftBaseline.y() - 6, 7, 7), StatusColour(status));
    const QString name = QString::fromLatin1(
        StatusClassName(status).data(), static_cast<qsizetype>(StatusClassName(status).size()));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(x + 9, leftBaseline.y()), name);
    x += 9 + metrics.horizontalAdvance(name) + 8;
  }
  painter.restore();
  return x - leftBaseline.x();
}

}  // namespace klxr::report
