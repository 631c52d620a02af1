// The clock of a virtual bus. Every time in the simulation is in microseconds since the bus was
// created. Two kinds:
// - virtual: time moves only when the simulation waits (a read, a Sleep) and then jumps at once to
//   the end of the wait, so tests run without any real waiting and always give the same times;
// - real: the same schedule, really waited for on a steady clock (the demo and the benchmarks).
// A virtual clock may also count the real time that passes between driver calls: the loadable
// library needs it, because the program's own pauses do not go through the bus there.
#pragma once

#include <chrono>
#include <cstdint>

namespace klxr::vm {

using Micros = std::int64_t;

inline constexpr Micros kMicrosPerMs = 1000;

enum class ClockKind { kVirtual, kReal };

class Clock {
 public:
  explicit Clock(ClockKind kind, bool countRealTimeBetweenCalls = false);

  ClockKind Kind() const { return kind_; }
  Micros Now() const;
  // Moves the clock on to `time`: a virtual clock jumps there, a real clock sleeps until then.
  // A time already past changes nothing.
  void WaitUntil(Micros time);
  void Sleep(std::uint32_t ms) { WaitUntil(Now() + Micros{ms} * kMicrosPerMs); }

 private:
  Micros RealElapsed() const;

  ClockKind kind_;
  bool countRealTime_;
  std::chrono::steady_clock::time_point start_;
  Micros virtualNow_ = 0;  // virtual clock: the time itself
  Micros skipped_ = 0;     // virtual clock counting real time: the waits it skipped so far
};

}  // namespace klxr::vm
