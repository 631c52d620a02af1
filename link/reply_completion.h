// When a reply from the meter is complete. A positive reply is ACK followed by a frame whose length
// byte (the third byte of the reply) announces how many payload bytes follow, so the whole reply is
// that length plus 4 bytes. Fast transfer judges a reply the moment these functions say it can be
// judged instead of waiting out a read time-out. Pure functions over the bytes received so far.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace klxr {

// The length of the whole reply (ACK, STX, length, payload, checksum) that the received bytes
// announce; nothing while they do not yet announce one, or do not begin as a positive reply does.
std::optional<std::size_t> AnnouncedReplyLength(std::span<const std::uint8_t> received);

// True when nothing more that arrives can change the verdict on the received bytes: they begin
// with anything but ACK, the frame does not start with STX, the length byte is out of range
// (0x80 or more), or every byte of the announced reply is in.
bool ReplyComplete(std::span<const std::uint8_t> received);

}  // namespace klxr
