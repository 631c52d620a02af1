// The meter frame codec.
//
// Every command to the meter and every reply from it travels as a frame:
//
//   offset 0      STX (0x02)
//   offset 1      L, the payload length
//   offset 2      L payload bytes, sent as is, no terminator
//   offset 2 + L  checksum: the bitwise complement of the 8-bit sum of the length byte and the
//                 payload bytes (the start byte and the checksum itself are not summed)
//
// so a frame is L + 3 bytes long; the payload "abc" travels as 02 03 61 62 63 D6. A positive reply
// is the single byte ACK followed directly by a frame; a negative one starts with NAK. ACK and NAK
// are never framed. Packing and unpacking are pure and work in fixed areas: nothing is allocated.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace klxr {

class ComAccess;

inline constexpr std::uint8_t STX = 0x02;
inline constexpr std::uint8_t ACK = 0x06;
inline constexpr std::uint8_t NAK = 0x15;

// Frames are sent from a 256-byte area, so a sent payload has at most 253 bytes.
inline constexpr std::size_t kSendAreaSize = 256;
inline constexpr std::size_t kFrameOverhead = 3;
inline constexpr std::size_t kMaxSendPayload = kSendAreaSize - kFrameOverhead;
// Received payloads have 0 to 127 bytes and are unpacked with a terminating zero into 128 bytes.
inline constexpr std::size_t kUnpackAreaSize = 128;

// The command words and the erase confirmation: upper-case ASCII, no terminator.
template <std::size_t N>
consteval std::array<std::uint8_t, N - 1> AsciiWord(const char (&text)[N]) {
  std::array<std::uint8_t, N - 1> word{};
  for (std::size_t i = 0; i + 1 < N; ++i) {
    word[i] = static_cast<std::uint8_t>(text[i]);
  }
  return word;
}
inline constexpr auto kLogCommand = AsciiWord("LOG");          // opens a log conversation
inline constexpr auto kGetCommand = AsciiWord("GET");          // asks for the next record
inline constexpr auto kEndCommand = AsciiWord("END");          // closes a log conversation
inline constexpr auto kEraseCommand = AsciiWord("ERASE");      // erases the meter's log
inline constexpr auto kVersionCommand = AsciiWord("VERSION");  // asks for the version data
inline constexpr auto kEraseSuccessReply = AsciiWord("SUCCESS");

// Packs the payload into frame. Returns the frame's length (length + 3), or 0 when the frame does
// not fit into frame or the length does not fit into the length byte (more than 255).
std::size_t PackFrame(const std::uint8_t* payload, std::size_t length,
                      std::span<std::uint8_t> frame);

// Packs the payload into a 256-byte area and hands the whole frame to one Write of the port. The
// write's status is not examined: a frame that did not go out shows up as a missing reply. Returns
// length; a payload of more than 253 bytes cannot be framed and is refused with -1, writing
// nothing.
int SendFrame(ComAccess& port, const std::uint8_t* payload, std::size_t length);
inline int SendFrame(ComAccess& port, std::span<const std::uint8_t> payload) {
  return SendFrame(port, payload.data(), payload.size());
}

// Checks the frame that starts at received (behind the reply's ACK), of which available bytes
// have arrived, and copies its payload into output followed by a zero byte. Returns the payload
// length (0 to 127), or -1 with output[0] = 0 when the bytes are not a good frame: wrong start
// byte, length byte 0x80 or more, fewer bytes than the frame needs, or a checksum mismatch. Bytes
// behind the checksum are ignored; a negative available counts as none.
int UnpackFrame(const std::uint8_t* received, int available,
                std::span<std::uint8_t, kUnpackAreaSize> output);

}  // namespace klxr
