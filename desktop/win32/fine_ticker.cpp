#include "desktop/win32/fine_ticker.h"

#include <mmsystem.h>

namespace klxr::win32 {

bool FineTicker::Start(HWND window, UINT message, int timerId, int periodMs) {
  Stop();
  window_ = window;
  message_ = message;
  timerId_ = timerId;
  pending_ = false;
  timeBeginPeriod(1);
  const DWORD period = static_cast<DWORD>(periodMs < 1 ? 1 : periodMs);
  if (!CreateTimerQueueTimer(&timer_, nullptr, OnTick, this, period, period, WT_EXECUTEDEFAULT)) {
    timer_ = nullptr;
    timeEndPeriod(1);
    return false;
  }
  return true;
}

void FineTicker::Stop() {
  if (timer_ == nullptr) {
    return;
  }
  // INVALID_HANDLE_VALUE: returns only once no tick of this timer is running any more.
  DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE);
  timer_ = nullptr;
  timeEndPeriod(1);
}

void CALLBACK FineTicker::OnTick(PVOID self, BOOLEAN /*timedOut*/) {
  auto& ticker = *static_cast<FineTicker*>(self);
  if (!ticker.pending_.exchange(true)) {
    PostMessageA(ticker.window_, ticker.message_, static_cast<WPARAM>(ticker.timerId_), 0);
  }
}

}  // namespace klxr::win32
