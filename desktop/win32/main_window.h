// MainWindow on Win32: the program's one top-level window, of the window class named by the
// program's caption. Outer size 230 x 90 pixels, a title bar with the system menu and close box
// only (no minimise or maximise box, no sizing border), menu 214 from the class, and below the
// menu the progress bar. It is also the window the meter conversations act on (DownloadWindow): the
// View item's state, repaints and the download timer (a timer of a period below the window timers'
// floor also ticks through a FineTicker). What its commands, timer ticks and closing do is left to
// its owner, through callbacks.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "desktop/desktop_shell.h"
#include "desktop/win32/fine_ticker.h"

namespace klxr::win32 {

inline constexpr int kMainWindowWidth = 230;
inline constexpr int kMainWindowHeight = 90;

// The bar from (10, 15) to (215, 35) in client pixels; the fill's right end R is
// shown * 205 / total + 10, the quotient truncated (no fill when the full scale is 0 or less).
int ProgressFillRight(int shown, int total);

// Its callbacks and the bar's view are the core's (desktop/desktop_shell.h).
class MainWindow : public DesktopWindow {
 public:
  // Registers the window class (icon 135, arrow cursor, window colour, menu 214); the result is
  // not needed: a second registration of the same class fails harmlessly.
  static void RegisterWindowClass(HINSTANCE instance, const std::string& className);
  // Creates the window (hidden); null when the system cannot create it.
  static std::unique_ptr<MainWindow> Create(HINSTANCE instance, const std::string& className,
                                            const std::string& caption,
                                            MainWindowCallbacks callbacks);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND Handle() const { return window_; }

  // DownloadWindow.
  void SetViewEnabled(bool enabled) override;
  void RequestRepaint(bool eraseBackground) override;
  void StartTimer(int timerId, int periodMs) override;
  bool KillTimer(int timerId) override;
  // DesktopWindow: as the close box does (WM_CLOSE), the destroyed callback follows.
  void Close() override;
  void ShowTitle(std::string_view title) override;

  // Adds the program's own items to the File menu (kFileMenuProgramItems), before its separator
  // above E&xit; they send their command ids as menu 214's items do.
  void AddProgramMenuItems();

  // Shows each shortcut of kMainShortcuts beside its item in the pop-ups: a tab and "Ctrl+O" after
  // the item's text. A command on the menu bar itself shows none.
  void ShowShortcutKeys();

  bool IsTimerRunning(int timerId) const { return timers_.count(timerId) != 0; }

 private:
  explicit MainWindow(MainWindowCallbacks callbacks);
  static LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  void StopAllTimers();

  void Tick(int timerId);

  HWND window_ = nullptr;
  MainWindowCallbacks callbacks_;
  std::set<int> timers_;
  // For a timer asked to tick faster than window timers can.
  FineTicker fineTicker_;
};

}  // namespace klxr::win32
