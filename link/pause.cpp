#include "link/pause.h"

#include <chrono>
#include <thread>

namespace klxr {

void SleepMilliseconds(std::uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace klxr
