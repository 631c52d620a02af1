// The painting of a report's parts, shared by the files that draw them. Coordinates are points
// (1/72 inch) on the page.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "report/canvas.h"
#include "report/report_content.h"

namespace klxr::report {

inline Font ReportFont(double pointSize, bool bold = false) {
  return {pointSize, bold, false};
}
Colour StatusColour(StatusClass status);

// A run of bars of one chart, drawn as one strip across the page.
struct ChartStrip {
  std::string title;  // e.g. "Level (dBm)"
  std::span<const ChartBar> bars;
  int positions = 1;  // bar positions across the strip; the bars may fill fewer
  bool logarithmic = false;
  LinearAxis linear;
  double base = 0;  // a linear bar grows from this value
  LogAxis log;
  std::string emptyNote;  // shown instead of bars when the chart has none
};

// The height a strip takes, its title included.
inline constexpr double kStripHeight = 140;

void PaintChartStrip(Canvas& canvas, const ChartStrip& strip, const Rect& area);

// A small key of the status colours, from its left end; returns its width.
double PaintStatusKey(Canvas& canvas, Point leftBaseline);

// The table's headings from top; returns the height they took.
double PaintTableHeadings(Canvas& canvas, std::uint8_t units, const Rect& area);
inline constexpr double kTableRowHeight = 8.4;
inline constexpr double kTableHeadingsHeight = 31;

// One display line as a row of the table, its fields in the viewer's columns.
void PaintTableRow(Canvas& canvas, const std::string& displayLine, const Rect& row);

}  // namespace klxr::report
