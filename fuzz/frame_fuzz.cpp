// Fuzz target: UnpackFrame on arbitrary bytes, checked against a small decoder of its own written
// from the frame's description (STX, length, payload, complement of the 8-bit sum of length and
// payload), and the PackFrame round trip of the same bytes taken as a payload.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>

#include "link/meter_frame.h"

namespace {

// The payload length of a good frame at data, or -1.
int ReferenceDecode(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || data[0] != 0x02 || data[1] >= 0x80) {
    return -1;
  }
  const std::size_t length = data[1];
  if (size < length + 3) {
    return -1;
  }
  std::uint8_t sum = data[1];
  for (std::size_t i = 0; i < length; ++i) {
    sum = static_cast<std::uint8_t>(sum + data[2 + i]);
  }
  return static_cast<std::uint8_t>(~sum) == data[2 + length] ? static_cast<int>(length) : -1;
}

// A broken invariant: names the line, then aborts so that the fuzzer keeps the input.
void Require(bool condition, int line = __builtin_LINE()) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken at %s:%d\n", __FILE__, line);
    std::abort();
  }
}

void CheckUnpack(const std::uint8_t* data, std::size_t size) {
  std::array<std::uint8_t, klxr::kUnpackAreaSize> output;
  output.fill(0xA5);
  const int available = size > 4096 ? 4096 : static_cast<int>(size);
  const int length = klxr::UnpackFrame(data, available, output);
  Require(length == ReferenceDecode(data, static_cast<std::size_t>(available)));
  if (length < 0) {
    Require(output[0] == 0);
    return;
  }
  Require(std::memcmp(output.data(), data + 2, static_cast<std::size_t>(length)) == 0);
  Require(output[static_cast<std::size_t>(length)] == 0);
}

void CheckRoundTrip(const std::uint8_t* payload, std::size_t size) {
  std::array<std::uint8_t, klxr::kSendAreaSize> frame{};
  const std::size_t packed = klxr::PackFrame(payload, size, frame);
  if (size > klxr::kMaxSendPayload) {
    Require(packed == 0);
    return;
  }
  Require(packed == size + klxr::kFrameOverhead);
  Require(ReferenceDecode(frame.data(), packed) == (size < 0x80 ? static_cast<int>(size) : -1));
  if (size < 0x80) {
    std::array<std::uint8_t, klxr::kUnpackAreaSize> output{};
    Require(klxr::UnpackFrame(frame.data(), static_cast<int>(packed), output) ==
            static_cast<int>(size));
    Require(std::memcmp(output.data(), payload, size) == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckUnpack(data, size);
  CheckRoundTrip(data, size);
  return 0;
}
