// What the log viewer's list shows: one display line per counted record, its tab-separated fields
// in columns that start at the list's tab positions, so that every field stands under its heading.
//
// A field that is wider than its column runs on over the columns to its right while they are empty
// (a level's range mark and its value, the BER at the end of a line). Where it would reach the next
// field's text it is drawn condensed, just enough to end a small clearance before it: nothing is
// cut and nothing overlaps, and every field still starts at its tab position. With realistic data
// this happens only to a multiplex name of full width in capitals followed by a status text.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/dialog_base_units.h"
#include "log/log_image.h"

namespace klxr {

// The display line of each counted record in the given units (kUnitsDbm or kUnitsDbuv), in record
// order; a record that cannot be formatted ends the list.
std::vector<std::string> LogViewerLines(const LogImage& image, std::uint8_t units);

// One column of the list, in pixels from tab position 0.
struct ListColumn {
  int left;
  // How far the text of a field running on from the left stays from this column's text: a small
  // gap, or none after a range mark, which belongs to the value in this column.
  int clearance;
};

// Where one field of a line is drawn, in pixels from tab position 0.
struct FieldPlacement {
  int left;
  int width;       // width of the drawn text; 0 for an empty field
  double squeeze;  // horizontal scale the text is drawn with: 1, or less to keep clear of the next
  bool operator==(const FieldPlacement&) const = default;
};

// The viewer's columns: tab position 0 and the 18 LogTabStops, converted with the dialog's base
// units (a unit across is a quarter of the average character width).
std::vector<ListColumn> LogListColumns(DialogBaseUnits units);

// Places the fields of one line, given the natural width of each field's text. Field k starts at
// column k; a field beyond the last column starts after the text before it. right is the end of
// the room a line has.
std::vector<FieldPlacement> PlaceFields(std::span<const int> textWidths,
                                        std::span<const ListColumn> columns, int right);

// The text Copy puts on the clipboard: the display line of each selected row, in the list's order
// whatever order the rows were picked in, each ending in lineEnd ("\n"; "\r\n" for the Windows
// clipboard). A line keeps every field of the display line, tabs and range marks included, so that
// pasted into a spreadsheet each value stands in the column of its heading, its mark in the column
// before it, as in the list. Rows outside the list, and a row picked twice, add nothing.
std::string CopiedLines(std::span<const std::string> lines, std::span<const int> selectedRows,
                        std::string_view lineEnd);

}  // namespace klxr
