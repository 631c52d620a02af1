// MainWindow on Win32: the program's one top-level window, of the window class named by the
// program's caption. Outer size 230 x 90 pixels, a title bar with the system menu and close box
// only (no minimise or maximise box, no sizing border), menu 214 from the class, and below the
// menu the progress bar. It is also the window the meter conversations act on (DownloadWindow): the
// View item's state, repaints and the download timer. What its commands, timer ticks and closing
// do is left to its owner, through callbacks.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "link/download_window.h"

namespace klxr::win32 {

inline constexpr int kMainWindowWidth = 230;
inline constexpr int kMainWindowHeight = 90;

// What the bar shows, read from the download state at each paint.
struct ProgressView {
  bool running = false;  // DownloadRunning
  int shown = 0;         // ProgressShown
  int total = 0;         // ProgressTotal
};

// The bar from (10, 15) to (215, 35) in client pixels; the fill's right end R is
// shown * 205 / total + 10, the quotient truncated (no fill when the full scale is 0 or less).
int ProgressFillRight(int shown, int total);

struct MainWindowCallbacks {
  std::function<void(int)> command;        // a menu command or an accelerator, by its id
  std::function<void(int)> timerTick;      // a tick of a timer started by StartTimer, by its id
  std::function<void()> destroyed;         // the window is being destroyed (E&xit or close box)
  std::function<ProgressView()> progress;  // what the bar shows
};

class MainWindow : public DownloadWindow {
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
  bool IsTimerRunning(int timerId) const { return timers_.count(timerId) != 0; }

 private:
  explicit MainWindow(MainWindowCallbacks callbacks);
  static LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  void StopAllTimers();

  HWND window_ = nullptr;
  MainWindowCallbacks callbacks_;
  std::set<int> timers_;
};

}  // namespace klxr::win32
