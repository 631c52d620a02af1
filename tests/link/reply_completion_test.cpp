#include "link/reply_completion.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace klxr {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct CompletionCase {
  const char* name;
  Bytes received;
  bool complete;
  std::optional<std::size_t> announced;
};

const CompletionCase kCases[] = {
    {"nothing yet", {}, false, std::nullopt},
    {"ACK alone", {0x06}, false, std::nullopt},
    {"ACK and STX", {0x06, 0x02}, false, std::nullopt},
    {"length known, payload missing", {0x06, 0x02, 0x03, 0x45}, false, 7},
    {"checksum missing", {0x06, 0x02, 0x03, 0x45, 0x4E, 0x44}, false, 7},
    {"end of log complete", {0x06, 0x02, 0x03, 0x45, 0x4E, 0x44, 0x25}, true, 7},
    {"bytes behind the frame", {0x06, 0x02, 0x00, 0xFF, 0x99}, true, 4},
    {"empty payload", {0x06, 0x02, 0x00, 0xFF}, true, 4},
    {"NAK settles it", {0x15}, true, std::nullopt},
    {"garbled ACK settles it", {0x86, 0x02, 0x03}, true, std::nullopt},
    {"no STX after ACK", {0x06, 0x06, 0x02}, true, std::nullopt},
    {"length byte out of range", {0x06, 0x02, 0x80}, true, 0x84},
    {"largest length still waits", {0x06, 0x02, 0x7F, 0x00}, false, 0x83},
};

TEST(ReplyCompletion, Vectors) {
  for (const CompletionCase& c : kCases) {
    EXPECT_EQ(ReplyComplete(c.received), c.complete) << c.name;
    EXPECT_EQ(AnnouncedReplyLength(c.received), c.announced) << c.name;
  }
}

TEST(ReplyCompletion, RecordReplyCompletesWithItsLastByte) {
  Bytes reply = {0x06, 0x02, 0x40};
  reply.resize(68, 0x11);
  for (std::size_t count = 0; count < reply.size(); ++count) {
    EXPECT_FALSE(ReplyComplete(std::span(reply.data(), count))) << count;
  }
  EXPECT_TRUE(ReplyComplete(reply));
}

}  // namespace
}  // namespace klxr
