// A driver table for the conversation fuzz target: the adapter's answers come from the fuzzer's
// bytes. Every read or queue count first lets a chunk of fuzzed bytes arrive; any call may fail as
// the bytes decide; the EEPROM holds the meter lead's settings or, as the bytes decide, the
// factory's. Time is virtual: a read that returns short has waited out its time-out, and the
// program's sleeps advance the same clock, so nothing really waits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include <fuzzer/FuzzedDataProvider.h>

#include "link/d2xx_api.h"

namespace klxr::fuzz {

struct FuzzedAdapter {
  FuzzedDataProvider* bytes = nullptr;
  std::int64_t nowUs = 0;
  std::deque<std::uint8_t> received;
  int openHandles = 0;
  d2xx::ULONG readTimeoutMs = 0;
  bool cycled = false;
};

// The one adapter the table's functions reach; set by the target for each input.
FuzzedAdapter& Adapter();

// The table with the fifteen functions, and the three of fast transfer when fast is true.
d2xx::D2xxFunctions FuzzedDriverTable(bool fast);

}  // namespace klxr::fuzz
