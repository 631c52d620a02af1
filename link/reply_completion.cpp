#include "link/reply_completion.h"

#include "link/meter_frame.h"

namespace klxr {
namespace {

constexpr std::size_t kLengthOffset = 2;  // ACK, STX, then the length byte
constexpr std::uint8_t kFirstBadLength = 0x80;
constexpr std::size_t kReplyOverhead = 4;  // ACK, STX, length and checksum

}  // namespace

std::optional<std::size_t> AnnouncedReplyLength(std::span<const std::uint8_t> received) {
  if (received.size() <= kLengthOffset || received[0] != ACK || received[1] != STX) {
    return std::nullopt;
  }
  return std::size_t{received[kLengthOffset]} + kReplyOverhead;
}

bool ReplyComplete(std::span<const std::uint8_t> received) {
  if (received.empty()) {
    return false;
  }
  if (received[0] != ACK) {
    return true;
  }
  if (received.size() > 1 && received[1] != STX) {
    return true;
  }
  if (received.size() > kLengthOffset && received[kLengthOffset] >= kFirstBadLength) {
    return true;
  }
  const std::optional<std::size_t> length = AnnouncedReplyLength(received);
  return length.has_value() && received.size() >= *length;
}

}  // namespace klxr
