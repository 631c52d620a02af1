// The shortcuts' accelerator table as the message loop translates it, and picking a meter in the
// device list.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "desktop/win32/device_list_dialog.h"
#include "desktop/win32/main_window.h"
#include "resources/command_ids.h"
#include "resources/dialog_templates.h"
#include "resources/menu_table.h"

namespace klxr::win32 {
namespace {

// Sets whether Ctrl is held, as the thread's keyboard state tells the translation.
void HoldControl(bool held) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = held ? 0x80 : 0;
  keys[VK_LCONTROL] = held ? 0x80 : 0;
  SetKeyboardState(keys);
}

TEST(ShortcutTableTest, CtrlWithEachLetterSendsItsCommand) {
  constexpr char kClassName[] = "klxr-shortcut-test";
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  MainWindow::RegisterWindowClass(instance, kClassName);
  std::vector<int> commands;
  MainWindowCallbacks callbacks;
  callbacks.command = [&commands](int id) { commands.push_back(id); };
  const auto window = MainWindow::Create(instance, kClassName, "KL-XR Meter - Log", callbacks);
  ASSERT_NE(window, nullptr);
  const HACCEL table = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(kShortcutTableId));
  ASSERT_NE(table, nullptr);
  const struct {
    WPARAM key;
    bool control;
    std::vector<int> commands;
  } kCases[] = {
      {'O', true, {cmd::kLoad}}, {'S', true, {cmd::kSave}}, {'E', true, {cmd::kExport}},
      {'R', true, {cmd::kRead}}, {'Q', true, {cmd::kExit}}, {'O', false, {}},
      {'V', true, {}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(static_cast<char>(c.key));
    commands.clear();
    HoldControl(c.control);
    MSG message{window->Handle(), WM_KEYDOWN, c.key, 1, 0, {}};
    EXPECT_EQ(TranslateAcceleratorA(window->Handle(), table, &message) != 0, !c.commands.empty());
    EXPECT_EQ(commands, c.commands);
  }
  HoldControl(false);
}

INT_PTR CALLBACK LeaveAlone(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

TEST(DeviceListPickTest, TheSelectedLineGivesItsMetersDevice) {
  const HWND dialog = CreateDialogParamA(
      GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dlg::kDeviceList), nullptr, LeaveAlone, 0);
  ASSERT_NE(dialog, nullptr);
  // Discovery's order: device 0, then device 2 (device 1 was no meter); the list sorts them.
  FillDeviceList(dialog, {"KLXR B", "KLXR A"}, {0, 2});
  const struct {
    int line;
    std::optional<ListedMeter> picked;
  } kCases[] = {
      {-1, std::nullopt},
      {0, ListedMeter{2, "KLXR A"}},
      {1, ListedMeter{0, "KLXR B"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.line);
    SendDlgItemMessageA(dialog, ctl::kDeviceList, LB_SETCURSEL, static_cast<WPARAM>(c.line), 0);
    EXPECT_EQ(SelectedMeter(dialog), c.picked);
  }
  DestroyWindow(dialog);
}

}  // namespace
}  // namespace klxr::win32
