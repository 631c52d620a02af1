// Where the report's table puts its texts: the columns of the log viewer's list and the headings
// above them, scaled from the viewer's dialog units to the width of the page.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace klxr::report {

// The left edge of each field of a display line, from 0 at the table's left edge: tab position 0
// and the viewer's 18 tab positions, scaled so that the viewer's list fills width.
std::vector<double> TableColumnLefts(double width);

// A heading above the table, as the viewer places its labels above the list.
struct TableHeading {
  std::string_view text;  // 8-bit text
  double left = 0;
  double width = 0;
  bool centred = false;
  bool unitLine = false;  // the line of the unit names above the headings
};

// The viewer's column headings and, above the three power columns, the unit names of units
// (kUnitsDbm or kUnitsDbuv), for a table of the given width.
std::vector<TableHeading> TableHeadings(std::uint8_t units, double width);

// How much room field k of a line has: up to the column of the next field with text, less the gap,
// or the table's right edge. fieldEmpty tells which fields hold no text.
double FieldRoom(const std::vector<double>& lefts, const std::vector<bool>& fieldEmpty,
                 std::size_t k, double right, double gap);

}  // namespace klxr::report
