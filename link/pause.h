// The program's own pauses (after "LOG" and after "END") and its clock reads. They go through one
// sleep function and one clock function
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

// The time source the waits of fast transfer are measured on: microseconds on a clock that never
// goes back. Tests hand in the virtual meter's clock.
using ClockFunction = std::function<std::int64_t()>;

// The real time source: the steady clock.
std::int64_t SteadyMicroseconds();

}  // namespace klxr
