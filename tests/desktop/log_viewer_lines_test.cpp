#include "desktop/log_viewer_lines.h"

#include <gtest/gtest.h>

#include <vector>

#include "resources/dialog_templates.h"

namespace klxr {
namespace {

TEST(LogListColumns, StartAtTheTabPositionsAndKeepNoGapAfterARangeMark) {
  for (const DialogBaseUnits units : {DialogBaseUnits{7, 13}, DialogBaseUnits{9, 16}}) {
    const std::vector<ListColumn> columns = LogListColumns(units);
    ASSERT_EQ(columns.size(), 19u);
    EXPECT_EQ(columns[0].left, 0);
    for (std::size_t k = 1; k < columns.size(); ++k) {
      EXPECT_EQ(columns[k].left, LogTabStops[k - 1] * units.cx / 4) << k;
      const bool valueAfterMark = k == 8 || k == 10 || k == 14 || k == 16;
      EXPECT_EQ(columns[k].clearance, valueAfterMark ? 0 : 2 * units.cx / 4) << k;
    }
  }
}

TEST(PlaceFields, FieldsStartAtTheirColumnsRunOnOverEmptyOnesAndAreCondensedBeforeText) {
  // Four columns at 0, 40, 50 and 100; a gap of 3 before text, none before column 2.
  const std::vector<ListColumn> columns{{0, 3}, {40, 3}, {50, 0}, {100, 3}};
  constexpr int kRight = 150;
  struct Case {
    const char* what;
    std::vector<int> widths;
    std::vector<FieldPlacement> expected;
  };
  const std::vector<Case> kCases = {
      {"each fits its column",
       {30, 8, 45, 20},
       {{0, 30, 1.0}, {40, 8, 1.0}, {50, 45, 1.0}, {100, 20, 1.0}}},
      {"runs on over empty columns",
       {90, 0, 0, 0},
       {{0, 90, 1.0}, {40, 0, 1.0}, {50, 0, 1.0}, {100, 0, 1.0}}},
      {"runs on up to a gap short of the next text",
       {97, 0, 0, 10},
       {{0, 97, 1.0}, {40, 0, 1.0}, {50, 0, 1.0}, {100, 10, 1.0}}},
      {"condensed to end a gap short of the next text",
       {194, 0, 0, 10},
       {{0, 97, 0.5}, {40, 0, 1.0}, {50, 0, 1.0}, {100, 10, 1.0}}},
      {"a mark meets its value without a gap",
       {30, 10, 20, 0},
       {{0, 30, 1.0}, {40, 10, 1.0}, {50, 20, 1.0}, {100, 0, 1.0}}},
      {"the last field runs to the right end",
       {0, 0, 0, 100},
       {{0, 0, 1.0}, {40, 0, 1.0}, {50, 0, 1.0}, {100, 50, 0.5}}},
      {"fields beyond the columns follow the text before them",
       {10, 0, 0, 20, 0, 5},
       {{0, 10, 1.0}, {40, 0, 1.0}, {50, 0, 1.0}, {100, 20, 1.0}, {120, 0, 1.0}, {123, 5, 1.0}}},
      {"an empty line", {0}, {{0, 0, 1.0}}},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(PlaceFields(c.widths, columns, kRight), c.expected) << c.what;
  }
}

TEST(PlaceFields, ACrampedFieldKeepsAtLeastOnePixel) {
  const std::vector<ListColumn> columns{{0, 0}, {10, 20}};
  const std::vector<FieldPlacement> placed = PlaceFields(std::vector<int>{50, 5}, columns, 40);
  EXPECT_EQ(placed[0].width, 1);
  EXPECT_DOUBLE_EQ(placed[0].squeeze, 1.0 / 50);
}

TEST(CopiedLines, TheSelectedLinesInListOrderWithTheirFieldsAndTheLineEnd) {
  const std::vector<std::string> lines{"1\t474.000\t\t\t-41.5\t", "2\t482.000\t>\t59.0",
                                       "3\tR\xE9gion"};
  struct Case {
    const char* what;
    std::vector<int> rows;
    const char* lineEnd;
    std::string expected;
  };
  const Case kCases[] = {
      {"none selected", {}, "\n", ""},
      {"one line keeps its empty fields", {0}, "\n", "1\t474.000\t\t\t-41.5\t\n"},
      {"a range mark stays in its own field", {1}, "\n", "2\t482.000\t>\t59.0\n"},
      {"list order, not the order picked", {2, 0}, "\n", "1\t474.000\t\t\t-41.5\t\n3\tR\xE9gion\n"},
      {"CR LF for the Windows clipboard",
       {1, 2},
       "\r\n",
       "2\t482.000\t>\t59.0\r\n3\tR\xE9gion\r\n"},
      {"rows outside the list and repeats add nothing", {-1, 2, 3, 2}, "\n", "3\tR\xE9gion\n"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(CopiedLines(lines, c.rows, c.lineEnd), c.expected) << c.what;
  }
}

}  // namespace
}  // namespace klxr
