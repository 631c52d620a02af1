#include "virtual-meter/meter_wire.h"

#include <algorithm>

namespace klxr::vm {

std::uint8_t FrameChecksum(std::span<const std::uint8_t> payload) {
  unsigned sum = static_cast<std::uint8_t>(payload.size());
  for (std::uint8_t byte : payload) {
    sum += byte;
  }
  return static_cast<std::uint8_t>(~sum);
}

Bytes MakeFrame(std::span<const std::uint8_t> payload) {
  Bytes frame(payload.size() + 3);
  frame[0] = kStx;
  frame[1] = static_cast<std::uint8_t>(payload.size());
  std::copy(payload.begin(), payload.end(), frame.begin() + 2);
  frame.back() = FrameChecksum(payload);
  return frame;
}

Bytes MakeFrame(std::string_view payload) {
  const Bytes bytes(payload.begin(), payload.end());
  return MakeFrame(std::span<const std::uint8_t>(bytes));
}

CommandFrameReader::Result CommandFrameReader::Feed(std::uint8_t byte) {
  switch (state_) {
    case State::kIdle:
      if (byte == kStx) {
        state_ = State::kLength;
      }
      return Result::kIncomplete;
    case State::kLength:
      length_ = byte;
      payload_.clear();
      state_ = length_ == 0 ? State::kChecksum : State::kPayload;
      return Result::kIncomplete;
    case State::kPayload:
      payload_.push_back(byte);
      if (payload_.size() == length_) {
        state_ = State::kChecksum;
      }
      return Result::kIncomplete;
    case State::kChecksum:
      state_ = State::kIdle;
      return byte == FrameChecksum(payload_) ? Result::kFrame : Result::kBadChecksum;
  }
  return Result::kIncomplete;
}

}  // namespace klxr::vm
