// The log viewer built from its resource: the lines in dBm at opening, "Show dBuV" switching the
// unit labels and the lines both ways, and the export button handing over the viewer.
#include "desktop/win32/log_viewer_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/dialog_templates.h"

namespace klxr::win32 {
namespace {

std::vector<std::string> ListLines(HWND viewer) {
  const HWND list = GetDlgItem(viewer, ctl::kViewerList);
  std::vector<std::string> lines;
  for (LRESULT i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
    char line[256] = {};
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line));
    lines.emplace_back(line);
  }
  return lines;
}

std::string Label(HWND viewer, int id) {
  char text[32] = {};
  GetDlgItemTextA(viewer, id, text, sizeof text);
  return text;
}

TEST(LogViewerDialogTest, ShowDbuvSwitchesLabelsAndLinesBothWaysAndExportGetsTheViewer) {
  // Lines in record order, not sorted: "2" stays before "1".
  const std::vector<std::string> dbm{"2\t474.000\t-41.5", "1\t482.000\t-60.0"};
  const std::vector<std::string> dbuv{"2\t474.000\t67.5", "1\t482.000\t49.0"};
  HWND exportedFrom = nullptr;
  const LogViewerCallbacks callbacks{
      [&](bool inDbuv) { return inDbuv ? dbuv : dbm; },
      [&](HWND viewer) { exportedFrom = viewer; },
  };
  const HWND viewer =
      CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dlg::kLogViewer), nullptr,
                         LogViewerProc, reinterpret_cast<LPARAM>(&callbacks));
  ASSERT_NE(viewer, nullptr);
  const struct {
    bool tick;
    const char* unit;
    const std::vector<std::string>* lines;
  } kSteps[] = {{false, "dBm", &dbm}, {true, "dBuV", &dbuv}, {false, "dBm", &dbm}};
  for (std::size_t step = 0; step < std::size(kSteps); ++step) {
    SCOPED_TRACE(step);
    if (step > 0) {
      CheckDlgButton(viewer, ctl::kViewerShowDbuv, kSteps[step].tick ? BST_CHECKED : BST_UNCHECKED);
      SendMessageA(viewer, WM_COMMAND, ctl::kViewerShowDbuv, 0);
    }
    EXPECT_EQ(ListLines(viewer), *kSteps[step].lines);
    for (const int id : {ctl::kViewerVideoUnit, ctl::kViewerAudioUnit, ctl::kViewerDigitalUnit}) {
      EXPECT_EQ(Label(viewer, id), kSteps[step].unit) << id;
    }
  }
  SendMessageA(viewer, WM_COMMAND, ctl::kViewerExport, 0);
  EXPECT_EQ(exportedFrom, viewer);
  DestroyWindow(viewer);
}

}  // namespace
}  // namespace klxr::win32
