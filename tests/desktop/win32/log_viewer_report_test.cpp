// The log viewer's "Report (.pdf)..." item: the viewer and the units shown handed to the report,
// and the report saved where the chooser says.
#include "desktop/win32/log_viewer_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>

#include "resources/dialog_templates.h"
#include "samples/sample_logs.h"
#include "support/recording_message_boxes.h"

namespace klxr::win32 {
namespace {

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
  // The list's menu offers the item, greyed only when the viewer has no report.
  const HMENU menu = BuildListMenu(callbacks);
  EXPECT_EQ(GetMenuState(menu, kViewerReportCommand, MF_BYCOMMAND) & MF_GRAYED, 0u);
  DestroyMenu(menu);
  DestroyWindow(viewer);
}

// The whole path of the item but the chooser's dialog: the report in the chosen file, in the
// units asked for; nothing written when the chooser is cancelled.
TEST(LogViewerReportTest, SavesThePdfToTheChosenFileAndNothingOnCancel) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / "klxr-viewer-report-test";
  std::filesystem::create_directories(folder);
  const LogImage image = samples::MakeRealisticLog(30, 4);
  for (const bool chosen : {true, false}) {
    const std::filesystem::path path = folder / (chosen ? "chosen.pdf" : "cancelled.pdf");
    ChooserRequest request;
    testing::RecordingMessageBoxes boxes;
    const LogViewerContext context{image, request, boxes, false};
    const ChooserCommand* asked = nullptr;
    SaveLogReport(context, true,
                  [&](ChooserRequest& filled, const ChooserCommand& command, MessageBoxes&) {
                    asked = &command;
                    filled.ChosenPath = path.string();
                    return chosen;
                  });
    EXPECT_EQ(asked, &kSaveReportChooser);
    EXPECT_TRUE(boxes.boxes.empty());
    ASSERT_EQ(std::filesystem::exists(path), chosen);
    if (chosen) {
      std::ifstream in(path, std::ios::binary);
      const std::string pdf{std::istreambuf_iterator<char>(in), {}};
      EXPECT_TRUE(pdf.starts_with("%PDF-1.4"));
      EXPECT_NE(pdf.find("(Units: dBuV)"), std::string::npos);
    }
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace klxr::win32
