#include "link/meter_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/com_access.h"
#include "link/support/fake_d2xx.h"

namespace klxr {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Calls = std::vector<std::string>;

Bytes BytesOf(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

template <std::size_t N>
Bytes BytesOf(const std::array<std::uint8_t, N>& word) {
  return Bytes(word.begin(), word.end());
}

// A frame with any length byte in front of the payload and a correct checksum over both.
Bytes FrameOf(std::uint8_t lengthByte, const Bytes& payload) {
  Bytes frame{STX, lengthByte};
  unsigned sum = lengthByte;
  for (std::uint8_t byte : payload) {
    frame.push_back(byte);
    sum += byte;
  }
  frame.push_back(static_cast<std::uint8_t>(~sum));
  return frame;
}

Bytes FrameWithLengthByte(std::uint8_t lengthByte, std::size_t payloadBytes) {
  Bytes payload(payloadBytes);
  for (std::size_t i = 0; i < payloadBytes; ++i) {
    payload[i] = static_cast<std::uint8_t>(i * 7);
  }
  return FrameOf(lengthByte, payload);
}

struct FrameVector {
  const char* name;
  Bytes payload;
  Bytes frame;
};

std::vector<FrameVector> FrameVectors() {
  Bytes record(64);
  for (std::size_t i = 0; i < record.size(); ++i) {
    record[i] = static_cast<std::uint8_t>(i % 5 == 0 ? 0 : 'A' + i % 26);
  }
  return {
      {"empty", {}, {0x02, 0x00, 0xFF}},
      {"abc", BytesOf("abc"), {0x02, 0x03, 0x61, 0x62, 0x63, 0xD6}},
      {"LOG", BytesOf(kLogCommand), {0x02, 0x03, 0x4C, 0x4F, 0x47, 0x1A}},
      {"GET", BytesOf(kGetCommand), {0x02, 0x03, 0x47, 0x45, 0x54, 0x1C}},
      {"END", BytesOf(kEndCommand), {0x02, 0x03, 0x45, 0x4E, 0x44, 0x25}},
      {"ERASE", BytesOf(kEraseCommand), {0x02, 0x05, 0x45, 0x52, 0x41, 0x53, 0x45, 0x8A}},
      {"VERSION",
       BytesOf(kVersionCommand),
       {0x02, 0x07, 0x56, 0x45, 0x52, 0x53, 0x49, 0x4F, 0x4E, 0xD2}},
      {"SUCCESS",
       BytesOf(kEraseSuccessReply),
       {0x02, 0x07, 0x53, 0x55, 0x43, 0x43, 0x45, 0x53, 0x53, 0xDF}},
      {"sum wraps", {0xFF, 0xFF}, {0x02, 0x02, 0xFF, 0xFF, 0xFF}},
      {"record with zero bytes", record, FrameOf(64, record)},
  };
}

TEST(MeterFrameTest, PacksAndUnpacksTheVectors) {
  for (const FrameVector& test : FrameVectors()) {
    SCOPED_TRACE(test.name);
    std::array<std::uint8_t, kSendAreaSize> area{};
    const std::size_t packed = PackFrame(test.payload.data(), test.payload.size(), area);
    EXPECT_EQ(Bytes(area.begin(), area.begin() + static_cast<std::ptrdiff_t>(packed)), test.frame);

    std::array<std::uint8_t, kUnpackAreaSize> output;
    output.fill(0xAA);
    const int length = UnpackFrame(test.frame.data(), static_cast<int>(test.frame.size()), output);
    ASSERT_EQ(length, static_cast<int>(test.payload.size()));
    EXPECT_EQ(Bytes(output.begin(), output.begin() + length), test.payload);
    EXPECT_EQ(output[static_cast<std::size_t>(length)], 0);
  }
}

TEST(MeterFrameTest, PackRefusesWhatDoesNotFit) {
  const Bytes payload(256, 0x41);
  std::array<std::uint8_t, 300> large{};
  std::array<std::uint8_t, 7> small{};
  EXPECT_EQ(PackFrame(payload.data(), 256, large), 0u);  // no length byte for it
  EXPECT_EQ(PackFrame(payload.data(), 255, large), 258u);
  EXPECT_EQ(PackFrame(payload.data(), 5, small), 0u);
  EXPECT_EQ(PackFrame(payload.data(), 4, small), 7u);
}

struct UnpackCase {
  const char* name;
  Bytes received;
  int available;  // -2: all of received
};

TEST(MeterFrameTest, RejectsBadFrames) {
  const Bytes get{0x02, 0x03, 0x47, 0x45, 0x54, 0x1C};
  const std::vector<UnpackCase> cases{
      {"length byte 0xFF", {0x02, 0xFF}, -2},
      {"length byte 0x80, frame complete", FrameWithLengthByte(0x80, 0x80), -2},
      {"checksum of the payload alone", {0x02, 0x03, 0x47, 0x45, 0x54, 0x1F}, -2},
      {"checksum missing", {0x02, 0x03, 0x47, 0x45, 0x54}, -2},
      {"payload cut short", {0x02, 0x07, 0x56, 0x45}, -2},
      {"fewer available than present", get, 5},
      {"reply's ACK in front", {0x06, 0x02, 0x03, 0x47, 0x45, 0x54, 0x1C}, -2},
      {"NAK", {0x15}, -2},
      {"start byte only", {0x02}, -2},
      {"nothing", {0x02, 0x00, 0xFF}, 0},
      {"negative count", {0x02, 0x00, 0xFF}, -1},
  };
  for (const UnpackCase& test : cases) {
    SCOPED_TRACE(test.name);
    std::array<std::uint8_t, kUnpackAreaSize> output;
    output.fill(0xAA);
    const int available =
        test.available == -2 ? static_cast<int>(test.received.size()) : test.available;
    EXPECT_EQ(UnpackFrame(test.received.data(), available, output), -1);
    EXPECT_EQ(output[0], 0);
  }
}

TEST(MeterFrameTest, EveryLengthByteFrom0x80IsRejected) {
  for (int lengthByte = 0x80; lengthByte <= 0xFF; ++lengthByte) {
    const Bytes frame = FrameWithLengthByte(static_cast<std::uint8_t>(lengthByte), 0);
    std::array<std::uint8_t, kUnpackAreaSize> output{};
    EXPECT_EQ(UnpackFrame(frame.data(), static_cast<int>(frame.size()), output), -1) << lengthByte;
  }
  const Bytes longest = FrameWithLengthByte(0x7F, 0x7F);
  std::array<std::uint8_t, kUnpackAreaSize> output{};
  EXPECT_EQ(UnpackFrame(longest.data(), static_cast<int>(longest.size()), output), 0x7F);
  EXPECT_EQ(output[0x7F], 0);
}

TEST(MeterFrameTest, BytesBehindTheChecksumAreIgnored) {
  const Bytes received{0x02, 0x03, 0x47, 0x45, 0x54, 0x1C, 0x06, 0x02, 0xFF, 0x00};
  std::array<std::uint8_t, kUnpackAreaSize> output{};
  EXPECT_EQ(UnpackFrame(received.data(), static_cast<int>(received.size()), output), 3);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(output.data())), "GET");
}

TEST(MeterFrameTest, SendFrameWritesOneFrame) {
  testing::FakeD2xx fake;
  ComAccess port(fake.Functions());
  port.Open(0);
  fake.calls.clear();
  EXPECT_EQ(SendFrame(port, kGetCommand), 3);
  fake.ScriptStatus("FT_Write", d2xx::FT_IO_ERROR);  // not examined
  EXPECT_EQ(SendFrame(port, kEraseCommand), 5);
  EXPECT_EQ(fake.calls,
            (Calls{"FT_Write #0 02 03 47 45 54 1C", "FT_Write #0 02 05 45 52 41 53 45 8A"}));
}

TEST(MeterFrameTest, SendFrameLimits) {
  testing::FakeD2xx fake;
  ComAccess port(fake.Functions());
  port.Open(0);
  const Bytes payload(254, 0x01);

  EXPECT_EQ(SendFrame(port, payload.data(), 253), 253);
  ASSERT_EQ(fake.written.size(), 1u);
  EXPECT_EQ(fake.written[0].size(), 256u);
  EXPECT_EQ(fake.written[0][1], 253);
  EXPECT_EQ(fake.written[0][255], static_cast<std::uint8_t>(~(253 + 253)));

  // A payload that cannot fit the sending area is refused and nothing is written.
  EXPECT_EQ(SendFrame(port, payload.data(), 254), -1);
  EXPECT_EQ(fake.written.size(), 1u);

  // A closed port writes nothing; the result is the payload length all the same.
  port.Close();
  fake.calls.clear();
  EXPECT_EQ(SendFrame(port, kLogCommand), 3);
  EXPECT_EQ(fake.calls, Calls{});
}

}  // namespace
}  // namespace klxr
