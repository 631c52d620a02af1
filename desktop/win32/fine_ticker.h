// Ticks finer than the window timers'. A window timer of the system never ticks more often than
// every 10 ms (16 ms on many machines), however short the period asked for; a fast download, which
// takes a reply the moment its last byte is in, would then wait for the next tick after every
// record. While it runs, a FineTicker posts the window a message every periodMs from a timer of the
// system's thread pool, with the system timer's resolution raised to 1 ms. A tick not yet handled
// is not posted again, so that ticks never pile up behind a busy window; modal loops dispatch the
// posted message as they dispatch the window timer's.
#pragma once

#include <windows.h>

#include <atomic>

namespace klxr::win32 {

class FineTicker {
 public:
  FineTicker() = default;
  ~FineTicker() { Stop(); }
  FineTicker(const FineTicker&) = delete;
  FineTicker& operator=(const FineTicker&) = delete;

  // Posts message (wParam: timerId) to the window every periodMs until Stop. Returns false when
  // the system cannot make the timer (the window timer then ticks alone). A running ticker is
  // stopped first.
  bool Start(HWND window, UINT message, int timerId, int periodMs);
  // Stops the ticks; no message is posted after it returns.
  void Stop();
  // The window has taken the posted tick: the next one may be posted.
  void Delivered() { pending_ = false; }
  bool Running() const { return timer_ != nullptr; }
  int TimerId() const { return timerId_; }

 private:
  static void CALLBACK OnTick(PVOID self, BOOLEAN);

  HANDLE timer_ = nullptr;
  HWND window_ = nullptr;
  UINT message_ = 0;
  int timerId_ = 0;
  std::atomic<bool> pending_{false};
};

}  // namespace klxr::win32
