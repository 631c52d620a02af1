// The log viewer's "Report (.pdf)..." item: its text and state in the menu, and the viewer and
// the units shown handed to the report.
#include "desktop/win32/log_viewer_report.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "resources/dialog_templates.h"

namespace klxr::win32 {
namespace {

TEST(LogViewerReportTest, TheItemIsGreyedOnlyWithoutAReport) {
  for (const bool withReport : {true, false}) {
    LogViewerCallbacks callbacks;
    if (withReport) {
      callbacks.saveReport = [](HWND, bool) {};
    }
    const HMENU menu = CreatePopupMenu();
    AppendReportItem(menu, callbacks);
    char text[64] = {};
    GetMenuStringA(menu, kViewerReportCommand, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Report (.pdf)...");
    const UINT state = GetMenuState(menu, kViewerReportCommand, MF_BYCOMMAND);
    EXPECT_EQ((state & MF_GRAYED) != 0, !withReport);
    DestroyMenu(menu);
  }
}

TEST(LogViewerReportTest, TheReportIsInTheUnitsTheListShows) {
  std::optional<std::pair<HWND, bool>> asked;
  LogViewerCallbacks callbacks;
  callbacks.lines = [](bool) { return std::vector<std::string>{"1\t474.000\t-41.5"}; };
  callbacks.saveReport = [&](HWND viewer, bool dbuv) { asked = {viewer, dbuv}; };
  const HWND viewer =
      CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dlg::kLogViewer), nullptr,
                         LogViewerProc, reinterpret_cast<LPARAM>(&callbacks));
  ASSERT_NE(viewer, nullptr);
  for (const bool dbuv : {false, true, false}) {
    CheckDlgButton(viewer, ctl::kViewerShowDbuv, dbuv ? BST_CHECKED : BST_UNCHECKED);
    SendMessageA(viewer, WM_COMMAND, ctl::kViewerShowDbuv, 0);
    asked.reset();
    SendMessageA(viewer, WM_COMMAND, kViewerReportCommand, 0);
    ASSERT_TRUE(asked.has_value());
    EXPECT_EQ(asked->first, viewer);
    EXPECT_EQ(asked->second, dbuv);
  }
  // The menu is the list's only: elsewhere in the viewer the system's handling goes on.
  EXPECT_EQ(ShowLogViewerMenu(viewer, viewer, MAKELPARAM(10, 10), callbacks), FALSE);
  DestroyWindow(viewer);
}

}  // namespace
}  // namespace klxr::win32
