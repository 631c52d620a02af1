// The fast way to wait for a short answer in a conversation that waits anyway (the erase and
// discovery): ask the driver how many bytes have come, take exactly those, and stop the moment the
// answer is enough or the time allowed has passed on the link's clock. Between two looks it pauses
// for a millisecond through the link's sleep function, so no driver call ever waits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "link/com_access.h"
#include "link/pause.h"

namespace klxr {

struct CollectedAnswer {
  std::size_t count = 0;  // bytes collected into the area (the first zero and all after read as 0)
  bool readFailed = false;  // a driver call failed; the collection stopped there
};

// Collects an answer into area from its start until enough(count) holds, a driver call fails, or
// allowedUs microseconds have passed since the call began. Bytes that arrive by the end of the time
// allowed still count.
CollectedAnswer CollectAnswerFast(ComAccess& port, std::span<std::uint8_t> area,
                                  std::int64_t allowedUs,
                                  const std::function<bool(std::size_t count)>& enough,
                                  const SleepFunction& sleep, const ClockFunction& now);

}  // namespace klxr
