#include "desktop/log_viewer_layout.h"

#include <gtest/gtest.h>

#include "desktop/read_progress_text.h"
#include "resources/dialog_templates.h"

namespace klxr {
namespace {

TEST(PlaceViewerControl, TheListGrowsAndTheBottomRowKeepsItsDistancesFromTheEdges) {
  constexpr ClientSize kTemplate{800, 300};
  const struct {
    int id;
    ControlPlace atTemplate;
    ClientSize client;
    ControlPlace expected;
  } kCases[] = {
      {ctl::kViewerList, {20, 40, 760, 220}, {1600, 900}, {20, 40, 1560, 820}},
      {ctl::kViewerList, {20, 40, 760, 220}, {400, 100}, {20, 40, 760, 220}},  // never smaller
      {ctl::kOk, {350, 270, 60, 20}, {1601, 900}, {750, 870, 60, 20}},
      {ctl::kViewerExport, {24, 270, 60, 20}, {1600, 900}, {24, 870, 60, 20}},
      {ctl::kViewerShowDbuv, {700, 275, 70, 14}, {1600, 600}, {1500, 575, 70, 14}},
      {ctl::kStatic, {70, 20, 40, 14}, {1600, 900}, {70, 20, 40, 14}},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(PlaceViewerControl(c.id, c.atTemplate, kTemplate, c.client), c.expected) << c.id;
  }
}

TEST(ReadProgressText, CountsTheRecordsReadWhileAReadRuns) {
  EXPECT_EQ(ReadProgressText({true, 812, 1568}), "812 of 1568 records");
  EXPECT_EQ(ReadProgressText({true, 2000, 1568}), "1568 of 1568 records");
  EXPECT_EQ(ReadProgressText({true, 5, 0}), "");
  EXPECT_EQ(ReadProgressText({false, 812, 1568}), "");
}

}  // namespace
}  // namespace klxr
