// The clock a read's time-out runs on. Real: the steady clock, and an idle poll of the adapter
// sleeps a millisecond (the chip itself answers every poll within its latency period, so this only
// keeps the loop from spinning on a chip that answers at once). Counted: each idle poll counts as
// one latency period of the chip and nothing really waits; it serves tests against an emulated
// adapter, which has sent everything it will send by the time a read starts. KLXR_OPEN_DRIVER_CLOCK
// set to "counted" chooses the counted clock when a port is opened.
#pragma once

#include <chrono>
#include <string_view>

namespace klxr::open_driver {

inline constexpr const char* kClockVariable = "KLXR_OPEN_DRIVER_CLOCK";

class ReadClock {
 public:
  enum class Kind { kReal, kCounted };
  explicit ReadClock(Kind kind) : kind_(kind) {}
  // The kind the environment's value asks for: counted for "counted", else real.
  static Kind KindFromEnvironment(std::string_view value);

  std::chrono::milliseconds Now() const;
  // One poll found nothing: lets a latency period (counted) or a millisecond (real) go by.
  void Idle(std::chrono::milliseconds latency);
  Kind GetKind() const { return kind_; }

 private:
  Kind kind_;
  std::chrono::milliseconds counted_{0};
};

}  // namespace klxr::open_driver
