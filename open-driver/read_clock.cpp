#include "open-driver/read_clock.h"

#include <thread>

namespace klxr::open_driver {

ReadClock::Kind ReadClock::KindFromEnvironment(std::string_view value) {
  return value == "counted" ? Kind::kCounted : Kind::kReal;
}

std::chrono::milliseconds ReadClock::Now() const {
  if (kind_ == Kind::kCounted) {
    return counted_;
  }
  return std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
}

void ReadClock::Idle(std::chrono::milliseconds latency) {
  if (kind_ == Kind::kCounted) {
    counted_ += latency;
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

}  // namespace klxr::open_driver
