// The Win32 shell as the core sees it: its main window closes as the close box does and ends the
// loop with the code given, and the remembered folders are kept in the registry.
#include "desktop/win32/win32_shell.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "desktop/win32/registry_settings_store.h"

namespace klxr::win32 {
namespace {

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
