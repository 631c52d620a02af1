#include "virtual-meter/clock.h"

#include <thread>

namespace klxr::vm {

Clock::Clock(ClockKind kind, bool countRealTimeBetweenCalls)
    : kind_(kind),
      countRealTime_(countRealTimeBetweenCalls),
      start_(std::chrono::steady_clock::now()) {}

Micros Clock::RealElapsed() const {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                               start_)
      .count();
}

Micros Clock::Now() const {
  if (kind_ == ClockKind::kReal) {
    return RealElapsed();
  }
  return countRealTime_ ? RealElapsed() + skipped_ : virtualNow_;
}

void Clock::WaitUntil(Micros time) {
  const Micros now = Now();
  if (time <= now) {
    return;
  }
  if (kind_ == ClockKind::kReal) {
    std::this_thread::sleep_until(start_ + std::chrono::microseconds(time));
  } else if (countRealTime_) {
    skipped_ += time - now;
  } else {
    virtualNow_ = time;
  }
}

}  // namespace klxr::vm
