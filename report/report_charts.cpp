// The charts of a report: one strip per run of bars, a value axis on the left, one bar per record
// by frequency, the formatter's value text above each bar and the channel below it. Every text
// runs across the page, so that text tools read the page the right way up, and is fitted to its
// bar's slot or its axis.
#include <algorithm>
#include <cmath>
#include <cstdio>

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

constexpr Colour kGridColour{0xd8, 0xd8, 0xd8};
constexpr Colour kAxisColour{0x40, 0x40, 0x40};

// Draws text centred in a bar's slot on the line that starts at top, fitted to the slot so that
// neighbouring labels never touch.
void DrawLabel(Canvas& canvas, const Font& font, Colour colour, std::string_view text,
               double centre, double top, double room) {
  const FittedText fitted = FitText(canvas, font, text, room, kLabelMinimumScale);
  DrawFitted(canvas, font, colour, fitted,
             {centre - fitted.width / 2, top + canvas.Metrics(font).ascent});
}

// A value's text above its bar, ending just over bottom. A ratio in scientific notation is too wide
// for a slot: its exponent goes on a second line ("2.87" over "E-002").
void DrawValueLabel(Canvas& canvas, const Font& font, std::string_view text, double centre,
                    double bottom, double room) {
  // Each line is its font's height and a little space apart.
  const double height = canvas.Metrics(font).height() + 0.5;
  const std::size_t exponent = text.find('E');
  if (exponent == 0 || exponent == std::string_view::npos) {
    DrawLabel(canvas, font, kBlack, text, centre, bottom - height, room);
    return;
  }
  DrawLabel(canvas, font, kBlack, text.substr(0, exponent), centre, bottom - 2 * height, room);
  DrawLabel(canvas, font, kBlack, text.substr(exponent), centre, bottom - height, room);
}

// The height of the axis where a value stands: 0 at the foot, 1 at the top.
double Fraction(const ChartStrip& strip, double value) {
  return strip.logarithmic ? AxisFraction(strip.log, value) : AxisFraction(strip.linear, value);
}

std::string TickText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

void PaintGrid(Canvas& canvas, const ChartStrip& strip, const Rect& axisArea) {
  const Font font = ReportFont(6);
  const FontMetrics metrics = canvas.Metrics(font);
  const double labelRoom = kAxisLabelWidth - 3;
  // A tick's label is left out where it would come within a line of the last one drawn.
  double lastLabelY = -1e9;
  auto tick = [&](double fraction, const std::string& label) {
    const double y = axisArea.bottom() - fraction * axisArea.height;
    canvas.DrawLine({axisArea.left, y}, {axisArea.right(), y}, kGridColour, 0.4);
    if (std::abs(y - lastLabelY) <= metrics.height() + 1) {
      return;
    }
    lastLabelY = y;
    const FittedText fitted = FitText(canvas, font, label, labelRoom);
    const double baseline = y + (metrics.ascent - metrics.descent) / 2;
    DrawFitted(canvas, font, kAxisColour, fitted, {axisArea.left - 3 - fitted.width, baseline});
  };
  if (strip.logarithmic) {
    for (int exponent = strip.log.lowExponent; exponent <= strip.log.highExponent; ++exponent) {
      tick(AxisFraction(strip.log, std::pow(10.0, exponent)), "1E" + std::to_string(exponent));
    }
    return;
  }
  const LinearAxis& axis = strip.linear;
  const int steps = static_cast<int>(std::lround((axis.high - axis.low) / axis.step));
  for (int k = 0; k <= steps; ++k) {
    const double value = axis.low + k * axis.step;
    tick(AxisFraction(axis, value), TickText(value));
  }
}

void PaintBar(Canvas& canvas, const ChartStrip& strip, const ChartBar& bar, const Rect& slot,
              const Rect& axisArea) {
  const double room = slot.width - kLabelGap;
  DrawLabel(canvas, ReportFont(6), kAxisColour, FromLatin1(bar.channel), slot.centre().x,
            axisArea.bottom() + 2, room);
  if (!bar.hasValue) {
    return;
  }
  const double base = strip.logarithmic ? 0 : Fraction(strip, strip.base);
  const double top = Fraction(strip, bar.value);
  const double yBase = axisArea.bottom() - base * axisArea.height;
  const double yTop = axisArea.bottom() - top * axisArea.height;
  const double width = slot.width * kBarShare;
  const Rect body{slot.centre().x - width / 2, std::min(yBase, yTop), width,
                  std::abs(yBase - yTop)};
  const Colour colour = StatusColour(bar.status);
  if (bar.mark == RangeMark::None) {
    canvas.FillRect(body, colour);
  } else {
    // A value beyond the meter's range: an outlined, hatched bar, its mark in the value text.
    canvas.HatchRect(body, colour);
    canvas.StrokeRect(body, colour, 0.8);
  }
  DrawValueLabel(canvas, ReportFont(5.5, bar.mark != RangeMark::None), FromLatin1(bar.valueText),
                 slot.centre().x, std::min(yBase, yTop) - 1, room);
}

}  // namespace

void PaintChartStrip(Canvas& canvas, const ChartStrip& strip, const Rect& area) {
  DrawTextLine(canvas, ReportFont(9, true), kBlack, strip.title, area.left, area.top, area.width);
  const Rect plot{area.left + kAxisLabelWidth, area.top + kTitleHeight + 4,
                  area.width - kAxisLabelWidth, kPlotHeight};
  const Rect axisArea{plot.left, plot.top + kValueHeadroom, plot.width,
                      plot.height - kValueHeadroom};
  if (strip.bars.empty()) {
    const Font font = ReportFont(8);
    const FittedText note = FitText(canvas, font, strip.emptyNote, plot.width);
    DrawFitted(canvas, font, kAxisColour, note,
               {plot.centre().x - note.width / 2, plot.centre().y});
    return;
  }
  PaintGrid(canvas, strip, axisArea);
  const double slotWidth =
      plot.width / static_cast<double>(std::max<std::size_t>(
                       static_cast<std::size_t>(strip.positions), strip.bars.size()));
  for (std::size_t k = 0; k < strip.bars.size(); ++k) {
    const Rect slot{plot.left + static_cast<double>(k) * slotWidth, plot.top, slotWidth,
                    plot.height};
    PaintBar(canvas, strip, strip.bars[k], slot, axisArea);
  }
  const Point bottomLeft{axisArea.left, axisArea.bottom()};
  canvas.DrawLine(bottomLeft, {axisArea.right(), axisArea.bottom()}, kAxisColour, 0.8);
  canvas.DrawLine(bottomLeft, {axisArea.left, axisArea.top}, kAxisColour, 0.8);
}

double PaintStatusKey(Canvas& canvas, Point leftBaseline) {
  const Font font = ReportFont(7);
  double x = leftBaseline.x;
  for (StatusClass status : kStatusOrder) {
    canvas.FillRect({x, leftBaseline.y - 6, 7, 7}, StatusColour(status));
    const std::string name(StatusClassName(status));
    canvas.DrawText(font, kBlack, {x + 9, leftBaseline.y}, name, 1);
    x += 9 + canvas.TextWidth(font, name) + 8;
  }
  return x - leftBaseline.x;
}

}  // namespace klxr::report
