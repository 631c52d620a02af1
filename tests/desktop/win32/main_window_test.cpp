// The main window built from the program's resources: menu 214 and accelerator table 214 as the
// tables say, the window's size and frame, the View item, command and timer routing, closing, and
// the progress bar's pixels.
#include "desktop/win32/main_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/command_ids.h"
#include "resources/menu_table.h"

namespace klxr::win32 {
namespace {

constexpr char kClassName[] = "klxr-main-window-test";

struct Recorded {
  std::vector<int> commands;
  std::vector<int> ticks;
  int destroyed = 0;
  ProgressView progress;
};

std::unique_ptr<MainWindow> MakeWindow(Recorded& recorded) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  MainWindow::RegisterWindowClass(instance, kClassName);
  MainWindowCallbacks callbacks;
  callbacks.command = [&recorded](int id) { recorded.commands.push_back(id); };
  callbacks.timerTick = [&recorded](int id) { recorded.ticks.push_back(id); };
  callbacks.destroyed = [&recorded] { ++recorded.destroyed; };
  callbacks.progress = [&recorded] { return recorded.progress; };
  return MainWindow::Create(instance, kClassName, "KL-XR Meter - Log", std::move(callbacks));
}

std::string MenuText(HMENU menu, int position) {
  char text[128] = {};
  GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
  return text;
}

bool Grayed(HMENU menu, int position) {
  return (GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_GRAYED) != 0;
}

TEST(MainWindowTest, MenuBarHoldsTheMenuTableInOrder) {
  Recorded recorded;
  const auto window = MakeWindow(recorded);
  ASSERT_NE(window, nullptr);
  const HMENU bar = GetMenu(window->Handle());
  ASSERT_EQ(GetMenuItemCount(bar), static_cast<int>(kMainMenu.size()));
  for (int i = 0; i < static_cast<int>(kMainMenu.size()); ++i) {
    const MenuBarEntry& entry = kMainMenu[static_cast<std::size_t>(i)];
    SCOPED_TRACE(std::string(entry.text));
    EXPECT_EQ(MenuText(bar, i), entry.text);
    EXPECT_EQ(Grayed(bar, i), entry.grayedAtStart);
    const HMENU popup = GetSubMenu(bar, i);
    if (entry.kind == MenuItemKind::Command) {
      EXPECT_EQ(popup, nullptr);
      EXPECT_EQ(static_cast<int>(GetMenuItemID(bar, i)), entry.commandId);
      continue;
    }
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(entry.items.size()));
    for (int j = 0; j < static_cast<int>(entry.items.size()); ++j) {
      const MenuItemTemplate& item = entry.items[static_cast<std::size_t>(j)];
      const bool separator =
          (GetMenuState(popup, static_cast<UINT>(j), MF_BYPOSITION) & MF_SEPARATOR) != 0;
      EXPECT_EQ(separator, item.kind == MenuItemKind::Separator) << j;
      EXPECT_EQ(MenuText(popup, j), item.text);
      EXPECT_EQ(static_cast<int>(GetMenuItemID(popup, j)), item.commandId);
      if (!separator) {
        EXPECT_EQ(Grayed(popup, j), item.grayedAtStart);
      }
    }
  }
}

TEST(MainWindowTest, AcceleratorTableHoldsAltCharacterKeysForTheirCommands) {
  const HACCEL table =
      LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kAcceleratorTableId));
  ASSERT_NE(table, nullptr);
  ACCEL entries[8];
  const int count = CopyAcceleratorTableA(table, entries, 8);
  ASSERT_EQ(count, static_cast<int>(kMainAccelerators.size()));
  for (int i = 0; i < count; ++i) {
    const AcceleratorEntry& expected = kMainAccelerators[static_cast<std::size_t>(i)];
    EXPECT_EQ(entries[i].fVirt & (FVIRTKEY | FALT | FCONTROL | FSHIFT), expected.alt ? FALT : 0);
    EXPECT_EQ(entries[i].key, expected.character);
    EXPECT_EQ(entries[i].cmd, expected.commandId);
  }
}

TEST(MainWindowTest, WindowHasItsOuterSizeAndOnlyTheCloseBox) {
  Recorded recorded;
  const auto window = MakeWindow(recorded);
  ASSERT_NE(window, nullptr);
  RECT rect;
  GetWindowRect(window->Handle(), &rect);
  EXPECT_EQ(rect.right - rect.left, kMainWindowWidth);
  EXPECT_EQ(rect.bottom - rect.top, kMainWindowHeight);
  const LONG_PTR style = GetWindowLongPtrA(window->Handle(), GWL_STYLE);
  EXPECT_NE(style & WS_SYSMENU, 0);
  EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
  EXPECT_NE(GetClassLongPtrA(window->Handle(), GCLP_HICON), 0u);
}

TEST(MainWindowTest, RoutesMenuCommandsTimerTicksAndTheViewItem) {
  Recorded recorded;
  const auto window = MakeWindow(recorded);
  ASSERT_NE(window, nullptr);
  const HWND handle = window->Handle();
  for (const int id : {cmd::kRead, cmd::kAbout, 4242, cmd::kExport}) {
    SendMessageA(handle, WM_COMMAND, static_cast<WPARAM>(id), 0);
  }
  EXPECT_EQ(recorded.commands, (std::vector<int>{cmd::kRead, cmd::kAbout, cmd::kExport}));

  window->SetViewEnabled(true);
  EXPECT_FALSE(GetMenuState(GetMenu(handle), cmd::kView, MF_BYCOMMAND) & MF_GRAYED);
  window->SetViewEnabled(false);
  EXPECT_TRUE(GetMenuState(GetMenu(handle), cmd::kView, MF_BYCOMMAND) & MF_GRAYED);

  SendMessageA(handle, WM_TIMER, cmd::kDownloadTimerId, 0);  // not started: not routed
  window->StartTimer(cmd::kDownloadTimerId, cmd::kDownloadTimerPeriodMs);
  MSG message;
  const DWORD started = GetTickCount();
  while (recorded.ticks.empty() && GetTickCount() - started < 5000) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageA(&message);
    }
  }
  ASSERT_FALSE(recorded.ticks.empty());
  EXPECT_EQ(recorded.ticks.front(), cmd::kDownloadTimerId);
  EXPECT_TRUE(window->KillTimer(cmd::kDownloadTimerId));
  EXPECT_FALSE(window->KillTimer(cmd::kDownloadTimerId));

  window->StartTimer(cmd::kDownloadTimerId, cmd::kDownloadTimerPeriodMs);
  DestroyWindow(handle);  // what E&xit and the close box do
  EXPECT_EQ(recorded.destroyed, 1);
  EXPECT_FALSE(window->IsTimerRunning(cmd::kDownloadTimerId));
  EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // the program's call
}

TEST(MainWindowTest, ProgressFillEndsWhereTheDownloadHasGot) {
  const struct {
    int shown, total, right;
  } kCases[] = {{0, 1568, 10}, {784, 1568, 112}, {1567, 1568, 214}, {1568, 1568, 215}, {5, 0, 10}};
  for (const auto& c : kCases) {
    EXPECT_EQ(ProgressFillRight(c.shown, c.total), c.right) << c.shown << "/" << c.total;
  }
}

TEST(MainWindowTest, PaintsTheBarBlankWhenIdleAndFilledWhileDownloading) {
  const struct {
    ProgressView view;
    int x, y;
    bool black;
  } kCases[] = {
      {{false, 784, 1568}, 10, 15, false},  // idle: no outline
      {{false, 784, 1568}, 50, 25, false},  // idle: no fill
      {{true, 784, 1568}, 10, 15, true},    // outline corner
      {{true, 784, 1568}, 214, 34, true},   // outline's far corner
      {{true, 784, 1568}, 50, 25, true},    // inside the fill
      {{true, 784, 1568}, 150, 25, false},  // past the fill
      {{true, 0, 1568}, 50, 25, false},     // nothing read yet: the outline only
  };
  for (const auto& c : kCases) {
    Recorded recorded;
    recorded.progress = c.view;
    const auto window = MakeWindow(recorded);
    ASSERT_NE(window, nullptr);
    ShowWindow(window->Handle(), SW_SHOWNOACTIVATE);
    RedrawWindow(window->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const HDC dc = GetDC(window->Handle());
    const COLORREF pixel = GetPixel(dc, c.x, c.y);
    ReleaseDC(window->Handle(), dc);
    EXPECT_EQ(pixel == RGB(0, 0, 0), c.black)
        << c.view.running << " " << c.view.shown << " at " << c.x << "," << c.y << ": " << pixel;
  }
}

}  // namespace
}  // namespace klxr::win32
