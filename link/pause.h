// The program's own pauses (after "LOG" and after "END"). They all go through one sleep function
// that the conversations are given, so that tests can replace it: the virtual meter's bus offers
// one that advances its virtual clock instead of waiting.
#pragma once

#include <cstdint>
#include <functional>

namespace klxr {

// Pauses for the given number of milliseconds.
using SleepFunction = std::function<void(std::uint32_t milliseconds)>;

// The real pause: blocks the calling thread for at least the given time.
void SleepMilliseconds(std::uint32_t milliseconds);

}  // namespace klxr
