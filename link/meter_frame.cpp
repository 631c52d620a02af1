#include "link/meter_frame.h"

#include "link/com_access.h"

namespace klxr {
namespace {

// The 8-bit sum of the length byte and the payload that follows it.
std::uint8_t SumFrom(const std::uint8_t* lengthByte, std::size_t payloadLength) {
  unsigned sum = 0;
  for (std::size_t i = 0; i <= payloadLength; ++i) {
    sum += lengthByte[i];
  }
  return static_cast<std::uint8_t>(sum);
}

constexpr std::size_t kMaxLengthByte = 0xFF;
constexpr std::size_t kMaxUnpackedPayload = kUnpackAreaSize - 1;

}  // namespace

std::size_t PackFrame(const std::uint8_t* payload, std::size_t length,
                      std::span<std::uint8_t> frame) {
  if (length > kMaxLengthByte || frame.size() < length + kFrameOverhead) {
    return 0;
  }
  frame[0] = STX;
  frame[1] = static_cast<std::uint8_t>(length);
  for (std::size_t i = 0; i < length; ++i) {
    frame[2 + i] = payload[i];
  }
  frame[2 + length] = static_cast<std::uint8_t>(~SumFrom(&frame[1], length));
  return length + kFrameOverhead;
}

int SendFrame(ComAccess& port, const std::uint8_t* payload, std::size_t length) {
  if (length > kMaxSendPayload) {
    return -1;
  }
  std::array<std::uint8_t, kSendAreaSize> area;
  const std::size_t frameLength = PackFrame(payload, length, area);
  port.Write(area.data(), static_cast<d2xx::DWORD>(frameLength));
  return static_cast<int>(length);
}

int UnpackFrame(const std::uint8_t* received, int available,
                std::span<std::uint8_t, kUnpackAreaSize> output) {
  output[0] = 0;
  // Fewer than two bytes hold no start byte and length byte; such a frame is short whatever they
  // say, and nothing beyond the available bytes is read.
  if (available < 2 || received[0] != STX) {
    return -1;
  }
  const std::size_t length = received[1];
  if (length > kMaxUnpackedPayload) {
    return -1;
  }
  if (length + kFrameOverhead > static_cast<std::size_t>(available)) {
    return -1;
  }
  if (static_cast<std::uint8_t>(~SumFrom(&received[1], length)) != received[2 + length]) {
    return -1;
  }
  for (std::size_t i = 0; i < length; ++i) {
    output[i] = received[2 + i];
  }
  output[length] = 0;
  return static_cast<int>(length);
}

}  // namespace klxr
