#include "desktop/log_viewer_layout.h"

#include <gtest/gtest.h>

#include "desktop/read_progress_text.h"
#include "resources/dialog_templates.h"

namespace klxr {
namespace {

TEST(PlaceViewerControl, TheListGrowsAndTheBottomRowKeepsItsDistancesFromTheEdges) {
  constexpr ClientSize kTemplate{800, 300};
  const ControlPlace list{20, 40, 760, 220};
  const ControlPlace close{350, 270, 60, 20};
  const ControlPlace exportButton{24, 270, 60, 20};
  const ControlPlace showDbuv{700, 275, 70, 14};
  const ControlPlace heading{70, 20, 40, 14};
  struct Case {
    int id;
    ControlPlace atTemplate;
    ClientSize client;
    ControlPlace expected;
  };
  const Case kCases[] = {
      {ctl::kViewerList, list, kTemplate, list},
      {ctl::kViewerList, list, {1600, 900}, {20, 40, 1560, 820}},
      {ctl::kOk, close, {1600, 900}, {750, 870, 60, 20}},
      {ctl::kOk, close, {801, 300}, {350, 270, 60, 20}},
      {ctl::kViewerExport, exportButton, {1600, 900}, {24, 870, 60, 20}},
      {ctl::kViewerShowDbuv, showDbuv, {1600, 900}, {1500, 875, 70, 14}},
      {ctl::kStatic, heading, {1600, 900}, heading},
      {ctl::kViewerVideoUnit, heading, {1600, 900}, heading},
      // Smaller than the template is the template's size.
      {ctl::kViewerList, list, {400, 100}, list},
      {ctl::kViewerShowDbuv, showDbuv, {400, 600}, {700, 575, 70, 14}},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(PlaceViewerControl(c.id, c.atTemplate, kTemplate, c.client), c.expected)
        << c.id << " at " << c.client.width << "x" << c.client.height;
  }
}

TEST(ReadProgressText, CountsTheRecordsReadWhileAReadRuns) {
  struct Case {
    ProgressView view;
    const char* expected;
  };
  const Case kCases[] = {
      {{true, 812, 1568}, "812 of 1568 records"},
      {{true, 0, 1568}, "0 of 1568 records"},
      {{true, 1568, 1568}, "1568 of 1568 records"},
      {{true, 2000, 1568}, "1568 of 1568 records"},
      {{true, 5, 0}, ""},
      {{false, 812, 1568}, ""},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(ReadProgressText(c.view), c.expected) << c.view.shown << "/" << c.view.total;
  }
}

}  // namespace
}  // namespace klxr
