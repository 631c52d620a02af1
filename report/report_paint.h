// The painting of a report's parts, shared by the files that draw them. Coordinates are points
// (1/72 inch) on the page.
#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <span>
#include <string>
#include <vector>

#include "report/report_content.h"

class QPainter;

namespace klxr::report {

QFont ReportFont(double pointSize, bool bold = false);
QColor StatusColour(StatusClass status);
QString Latin1(const std::string& text);

// A run of bars of one chart, drawn as one strip across the page.
struct ChartStrip {
  QString title;  // e.g. "Level (dBm)"
  std::span<const ChartBar> bars;
  int positions = 1;  // bar positions across the strip; the bars may fill fewer
  bool logarithmic = false;
  LinearAxis linear;
  double base = 0;  // a linear bar grows from this value
  LogAxis log;
  QString emptyNote;  // shown instead of bars when the chart has none
};

// The height a strip takes, its title included.
inline constexpr double kStripHeight = 140;

void PaintChartStrip(QPainter& painter, const ChartStrip& strip, const QRectF& area);

// A small key of the status colours, from its left end; returns its width.
double PaintStatusKey(QPainter& painter, QPointF leftBaseline);

// The table's headings from top; returns the height they took.
double PaintTableHeadings(QPainter& painter, std::uint8_t units, const QRectF& area);
inline constexpr double kTableRowHeight = 8.4;
inline constexpr double kTableHeadingsHeight = 31;

// One display line as a row of the table, its fields in the viewer's columns.
void PaintTableRow(QPainter& painter, const std::string& displayLine, const QRectF& row);

}  // namespace klxr::report
