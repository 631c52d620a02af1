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

RECT PlaceOf(HWND viewer, int id) {
  RECT place;
  GetWindowRect(GetDlgItem(viewer, id), &place);
  MapWindowPoints(nullptr, viewer, reinterpret_cast<POINT*>(&place), 2);
  return place;
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

TEST(LogViewerDialogTest, GrowsFromItsTemplateSizeWithTheListAndKeepsTheBottomRowAtTheEdges) {
  const LogViewerCallbacks callbacks{[](bool) { return std::vector<std::string>{"1\t474.000"}; },
                                     {}};
  const HWND viewer =
      CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dlg::kLogViewer), nullptr,
                         LogViewerProc, reinterpret_cast<LPARAM>(&callbacks));
  ASSERT_NE(viewer, nullptr);
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(viewer, GWL_STYLE));
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), DWORD{WS_THICKFRAME | WS_MAXIMIZEBOX});
  RECT units{0, 0, 633, 190};
  MapDialogRect(viewer, &units);
  RECT client;
  GetClientRect(viewer, &client);
  EXPECT_EQ(client.right, units.right);
  EXPECT_EQ(client.bottom, units.bottom);
  RECT opened;
  GetWindowRect(viewer, &opened);
  MINMAXINFO limits{};
  SendMessageA(viewer, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(limits.ptMinTrackSize.x, opened.right - opened.left);
  EXPECT_EQ(limits.ptMinTrackSize.y, opened.bottom - opened.top);

  const int ids[] = {ctl::kViewerList, ctl::kOk, ctl::kViewerExport, ctl::kViewerShowDbuv,
                     ctl::kViewerVideoUnit};
  std::vector<RECT> before;
  for (const int id : ids) {
    before.push_back(PlaceOf(viewer, id));
  }
  SetWindowPos(viewer, nullptr, 0, 0, 1600, 900, SWP_NOMOVE | SWP_NOZORDER);
  RECT grown;
  GetClientRect(viewer, &grown);
  const int wider = grown.right - client.right;
  const int taller = grown.bottom - client.bottom;
  ASSERT_GT(wider, 0);
  ASSERT_GT(taller, 0);
  const struct {
    int dx, dy, dWidth, dHeight;
  } kMoves[] = {{0, 0, wider, taller},
                {wider / 2, taller, 0, 0},
                {0, taller, 0, 0},
                {wider, taller, 0, 0},
                {0, 0, 0, 0}};
  for (std::size_t i = 0; i < std::size(ids); ++i) {
    const RECT now = PlaceOf(viewer, ids[i]);
    EXPECT_EQ(now.left, before[i].left + kMoves[i].dx) << ids[i];
    EXPECT_EQ(now.top, before[i].top + kMoves[i].dy) << ids[i];
    EXPECT_EQ(now.right - now.left, before[i].right - before[i].left + kMoves[i].dWidth) << ids[i];
    EXPECT_EQ(now.bottom - now.top, before[i].bottom - before[i].top + kMoves[i].dHeight) << ids[i];
  }
  DestroyWindow(viewer);
}

TEST(LogViewerDialogTest, CopyPutsTheSelectedLinesOnTheClipboardInListOrder) {
  const std::vector<std::string> lines{"1\t474.000\t\t-41.5", "2\t482.000", "3\t490.000\t>\t12.0"};
  const LogViewerCallbacks callbacks{[&](bool) { return lines; }, {}};
  const HWND viewer =
      CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dlg::kLogViewer), nullptr,
                         LogViewerProc, reinterpret_cast<LPARAM>(&callbacks));
  ASSERT_NE(viewer, nullptr);
  const HWND list = GetDlgItem(viewer, ctl::kViewerList);
  EXPECT_NE(GetWindowLongPtrA(list, GWL_STYLE) & LBS_EXTENDEDSEL, 0);
  SendMessageA(list, LB_SETSEL, TRUE, 2);
  SendMessageA(list, LB_SETSEL, TRUE, 0);
  SendMessageA(viewer, WM_COMMAND, kViewerCopyCommand, 0);
  EXPECT_EQ(ClipboardText(), "1\t474.000\t\t-41.5\r\n3\t490.000\t>\t12.0\r\n");

  // Ctrl+A in the list selects every line, Ctrl+C copies them.
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  SendMessageA(list, WM_KEYDOWN, 'A', 0);
  SendMessageA(list, WM_KEYDOWN, 'C', 0);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 3);
  EXPECT_EQ(ClipboardText(), lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n");

  const HMENU menu = BuildListMenu();
  char item[32] = {};
  GetMenuStringA(menu, kViewerCopyCommand, item, sizeof item, MF_BYCOMMAND);
  EXPECT_STREQ(item, "Copy\tCtrl+C");
  DestroyMenu(menu);
  DestroyWindow(viewer);
}

}  // namespace
}  // namespace klxr::win32
