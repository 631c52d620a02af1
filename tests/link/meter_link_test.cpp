// The pieces the conversations share: the length-bounded copy of a received chunk and the text of
// an unpacked payload.
#include "link/meter_link.h"

#include <gtest/gtest.h>

#include <vector>

namespace klxr {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(MeterLink, AppendAsStringZeroesWhatFollowsAZeroByteInTheChunk) {
  struct Case {
    const char* name;
    Bytes area;
    std::size_t offset;
    Bytes chunk;
    Bytes expected;
  };
  const Case cases[] = {
      {"no zero: copied as is", Bytes(6, 0xEE), 1, {1, 2, 3}, {0xEE, 1, 2, 3, 0xEE, 0xEE}},
      {"bytes after a zero arrive as zeros",
       Bytes(6, 0xEE),
       0,
       {6, 2, 0, 0xFF, 7},
       {6, 2, 0, 0, 0, 0xEE}},
      {"a zero in an earlier chunk does not matter", {6, 0, 0xEE, 0xEE}, 2, {5, 9}, {6, 0, 5, 9}},
      {"cut at the end of the area", Bytes(4, 0xEE), 2, {1, 2, 3}, {0xEE, 0xEE, 1, 2}},
      {"offset past the end: nothing", Bytes(2, 0xEE), 5, {1}, {0xEE, 0xEE}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    Bytes area = test.area;
    AppendAsString(area, test.offset, test.chunk);
    EXPECT_EQ(area, test.expected);
  }
}

TEST(MeterLink, TextUpToZero) {
  const Bytes text{'K', 'L', 0, 'X'};
  EXPECT_EQ(TextUpToZero(text), "KL");
  const Bytes full{'K', 'L'};
  EXPECT_EQ(TextUpToZero(full), "KL");
  const Bytes latin1{0xE9, 't', 0xE9, 0};
  EXPECT_EQ(TextUpToZero(latin1), "\xE9t\xE9");
}

}  // namespace
}  // namespace klxr
