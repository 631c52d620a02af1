// The Win32 shell as the core sees it: its main window closes as the close box does and ends the
// loop with the code given, and the remembered folders are kept in the registry.
#include "desktop/win32/win32_shell.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "desktop/application.h"
#include "desktop/win32/registry_settings_store.h"
#include "resources/command_ids.h"
#include "support/bus_services.h"
#include "support/recording_message_boxes.h"
#include "virtual-meter/bus_config.h"
#include "virtual-meter/meter_records.h"
#include "virtual-meter/virtual_bus.h"

namespace klxr::win32 {
namespace {

// The close box and Escape during a Read reach the program's question: No keeps the window and
// the Read, Yes after Escape stops the Read and keeps the window; without a Read the close box
// closes at once.
TEST(Win32ShellTest, TheCloseBoxDuringAReadAsksWhetherToStopIt) {
  vm::VirtualBus bus(vm::OneMeter(vm::GeneratedRecords(40, 3)));
  Win32Shell shell(GetModuleHandleA(nullptr));
  klxr::testing::RecordingMessageBoxes boxes;
  Application app(shell, boxes, klxr::testing::BusServices(bus));
  ASSERT_TRUE(app.Start(""));
  const HWND handle = shell.Window();
  ASSERT_NE(handle, nullptr);
  app.Command(cmd::kRead);
  ASSERT_TRUE(app.State().Link.Download.DownloadRunning);
  const klxr::testing::RecordedBox question{msg::kOwnText, kStopReadQuestion, BoxKind::Question};

  boxes.answers = {Answer::No, Answer::Yes};
  SendMessageA(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(IsWindow(handle));
  EXPECT_TRUE(app.State().Link.Download.DownloadRunning);
  SendMessageA(handle, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(IsWindow(handle));
  EXPECT_FALSE(app.State().Link.Download.DownloadRunning);
  EXPECT_EQ(boxes.boxes, (std::vector<klxr::testing::RecordedBox>{question, question}));
  EXPECT_EQ(boxes.defaultNo, (std::vector<std::size_t>{0, 1}));

  SendMessageA(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_TRUE(app.Closed());
  EXPECT_EQ(boxes.boxes.size(), 2u);
}

TEST(Win32ShellTest, CloseDestroysTheWindowAndTheLoopEndsWithTheCodeGiven) {
  Win32Shell shell(GetModuleHandleA(nullptr));
  int destroyed = 0;
  MainWindowCallbacks callbacks;
  callbacks.destroyed = [&] {
    ++destroyed;
    shell.QuitEventLoop(0);
  };
  const std::unique_ptr<DesktopWindow> window =
      shell.CreateMainWindow("klxr-win32-shell-test", std::move(callbacks));
  ASSERT_NE(window, nullptr);
  const HWND handle = shell.Window();
  ASSERT_NE(handle, nullptr);
  EXPECT_TRUE(IsWindowVisible(handle));
  char title[64] = {};
  GetWindowTextA(handle, title, sizeof title);
  EXPECT_STREQ(title, "klxr-win32-shell-test");

  window->Close();
  EXPECT_EQ(destroyed, 1);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(shell.Window(), nullptr);
  EXPECT_EQ(shell.RunEventLoop(), 0);  // the quit posted at the close

  for (const int code : {0, 3, 255}) {
    shell.QuitEventLoop(code);
    EXPECT_EQ(shell.RunEventLoop(), code);
  }
}

TEST(Win32ShellTest, RegistryStoreKeepsValuesUnderItsKey) {
  constexpr char kKey[] = "KLXRPlusDataShellTest";
  RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\KLXRPlusDataShellTest");
  RegistrySettingsStore store(kKey);
  const struct {
    const char* name;
    const char* value;
  } kCases[] = {{"LogLoadDir", "C:\\logs"}, {"LogSaveDir", "Z:\\tmp\\a b"}, {"LogLoadDir", "D:\\"}};
  EXPECT_EQ(store.ReadValue("LogLoadDir"), std::nullopt);
  for (const auto& c : kCases) {
    EXPECT_EQ(store.WriteValue(c.name, c.value), std::nullopt) << c.name;
    EXPECT_EQ(store.ReadValue(c.name), std::optional<std::string>(c.value)) << c.name;
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\KLXRPlusDataShellTest");
}

}  // namespace
}  // namespace klxr::win32
