// What "history channel NAME|FREQ" looks for: a channel name, a frequency, or a bare number that
// may be either (channel "21" or 21 MHz).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace klxr::archive {

struct ChannelQuery {
  std::optional<std::string> channel;         // matched with case ignored
  std::optional<std::uint32_t> frequencyKhz;  // matched exactly
};

// "CH32": the name. "482.25 MHz", "482250kHz": the frequency. A bare number is the name and also
// a frequency: in MHz below 10000, else in kHz.
ChannelQuery ParseChannelQuery(std::string_view text);

}  // namespace klxr::archive
