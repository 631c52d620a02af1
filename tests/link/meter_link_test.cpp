// The pieces the conversations share: the length-bounded copy of a received chunk and the text of
// an unpacked payload.
#include "link/meter_link.h"

#include <gtest/gtest.h>

#include <vector>

#include "link/com_access.h"
#include "support/fake_d2xx.h"
#include "support/recording_message_boxes.h"

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

// A line setting that fails after the adapter was opened (the open's result is that of the last
// setting, flow control): the conversation reports "USB Port Error" and releases the adapter, so
// that the next open of it (the device list's, say) finds it free.
TEST(MeterLink, ConversationThatCannotSetTheLineReleasesTheAdapter) {
  for (const char* failing : {"FT_ClrDtr", "FT_SetFlowControl"}) {
    SCOPED_TRACE(failing);
    testing::FakeD2xx fake;
    fake.ScriptStatus(failing, d2xx::FT_IO_ERROR);
    ComAccess port(fake.Functions());
    LogImage image;
    testing::RecordingMessageBoxes boxes;
    MeterLink link(image, boxes);
    link.DriverLibrary = &fake.Functions();
    link.SharedPort = &port;
    EXPECT_FALSE(OpenSharedPortForConversation(link));
    EXPECT_EQ(boxes.Indexes(), std::vector<int>{msg::kUsbPortError});
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(fake.calls.back(), "FT_Close #0");
  }
}

}  // namespace
}  // namespace klxr
