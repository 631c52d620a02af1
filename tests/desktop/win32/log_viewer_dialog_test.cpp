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

std::string ClipboardText() {
  std::string text;
  if (OpenClipboard(nullptr)) {
    if (const HANDLE data = GetClipboardData(CF_TEXT)) {
      text = static_cast<const char*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    CloseClipboard();
  }
  return text;
}

TEST(LogViewerDialogTest, GrowsWithItsListAndCtrlAAndCtrlCCopyEveryLine) {
  const std::vector<std::string> lines{"1\t474.000\t\t-41.5", "2\t482.000", "3\t490.000\t>\t12.0"};
  const LogViewerCallbacks callbacks{[&](bool) { return lines; }, {}};
  const HWND viewer =
      CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dlg::kLogViewer), nullptr,
                         LogViewerProc, reinterpret_cast<LPARAM>(&callbacks));
  ASSERT_NE(viewer, nullptr);
  const HWND list = GetDlgItem(viewer, ctl::kViewerList);
  RECT opened, before, after;
  GetWindowRect(viewer, &opened);
  GetWindowRect(list, &before);
  SetWindowPos(viewer, nullptr, 0, 0, opened.right - opened.left + 100,
               opened.bottom - opened.top + 50, SWP_NOMOVE | SWP_NOZORDER);
  GetWindowRect(list, &after);
  EXPECT_EQ(after.right - after.left, before.right - before.left + 100);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top + 50);
  MINMAXINFO limits{};
  SendMessageA(viewer, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(limits.ptMinTrackSize.x, opened.right - opened.left);

  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  SendMessageA(list, WM_KEYDOWN, 'A', 0);
  SendMessageA(list, WM_KEYDOWN, 'C', 0);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(ClipboardText(), lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n");
  DestroyWindow(viewer);
}

}  // namespace
}  // namespace klxr::win32
