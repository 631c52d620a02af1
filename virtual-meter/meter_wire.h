// The meter's side of the link framing. A frame on the wire is STX (0x02), a length byte L, L
// payload bytes and a checksum: the complement of the 8-bit sum of the length byte and the payload.
// Around the frames stand the single bytes ACK (0x06) and NAK (0x15). The meter keeps its own
// implementation, independent of the program's codec, so that each checks the other.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace klxr::vm {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint8_t kStx = 0x02;
inline constexpr std::uint8_t kAck = 0x06;
inline constexpr std::uint8_t kNak = 0x15;

// The checksum of a frame carrying `payload` (at most 255 bytes).
std::uint8_t FrameChecksum(std::span<const std::uint8_t> payload);
// The whole frame carrying `payload` (at most 255 bytes).
Bytes MakeFrame(std::span<const std::uint8_t> payload);
Bytes MakeFrame(std::string_view payload);

// Collects a command frame from the bytes the meter receives, one at a time. Bytes outside a frame
// (the host's ACK after each reply, line noise) are ignored until an STX starts one.
class CommandFrameReader {
 public:
  enum class Result { kIncomplete, kFrame, kBadChecksum };

  Result Feed(std::uint8_t byte);
  // The payload of the frame that Feed has just completed.
  const Bytes& Payload() const { return payload_; }

 private:
  enum class State { kIdle, kLength, kPayload, kChecksum };
  State state_ = State::kIdle;
  std::size_t length_ = 0;
  Bytes payload_;
};

}  // namespace klxr::vm
