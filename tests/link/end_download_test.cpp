// A download ended from outside (the program closing, a stop asked for): the meter is told that
// the log ends and the port is closed, whatever the conversation's state, paced or fast.
#include <gtest/gtest.h>

#include <algorithm>

#include "conversation_fixture.h"

namespace klxr {
namespace {

using testing::Conversation;
using testing::kEndFrame;
using testing::Sent;

struct EndCase {
  const char* name;
  bool fast;
  int ticks;       // timer ticks before the end; -1: the download runs to its own end first
  bool endFromUs;  // whether EndDownload itself sends "END"
};

const EndCase kEndCases[] = {
    {"paced, before the first tick", false, 0, true},
    {"paced, midway", false, 12, true},
    {"fast, waiting for the answer to LOG", true, 0, true},
    {"fast, midway", true, 40, true},
    {"paced, after the log's own end", false, -1, false},
    {"fast, after the log's own end", true, -1, false},
};

TEST(EndDownload, SendsEndOnceAndClosesThePortLast) {
  for (const EndCase& test : kEndCases) {
    SCOPED_TRACE(test.name);
    Conversation run(testing::MeterWith(20));
    if (test.fast) {
      run.driver = vm::VirtualBus::FastFunctions();
      run.link.Now = run.bus.NowFunction();
    }
    StartDownload(run.link, &run.window);
    // The timer's period passes between fast steps, which never wait themselves.
    const int ticks = test.ticks < 0 ? 20000 : test.ticks;
    for (int tick = 0; tick < ticks && run.window.timers.count(cmd::kDownloadTimerId) != 0;
         ++tick) {
      DownloadStep(run.link, &run.window);
      run.link.Sleep(cmd::kDownloadTimerPeriodMs);
    }
    ASSERT_EQ(run.link.Download.DownloadRunning, test.ticks >= 0);
    const std::size_t boxes = run.boxes.boxes.size();

    EndDownload(run.link, &run.window);
    const testing::Lines wire = run.bus.WireLog();
    EXPECT_EQ(std::count(wire.begin(), wire.end(), Sent(kEndFrame)), 1);
    if (test.endFromUs) {
      EXPECT_EQ(wire.back(), Sent(kEndFrame));
      EXPECT_LT(run.link.Download.RecordsReceived, 20);
    }
    EXPECT_EQ(run.bus.CallLog().back(), "FT_Close");
    EXPECT_FALSE(run.port.IsOpen());
    EXPECT_FALSE(run.bus.Adapter(0).Meter()->InLogConversation());
    EXPECT_FALSE(run.link.Download.DownloadRunning);
    EXPECT_EQ(run.window.timers.count(cmd::kDownloadTimerId), 0u);
    EXPECT_EQ(run.boxes.boxes.size(), boxes);  // no message of its own
  }
}

TEST(EndDownload, WithoutADownloadOnlyClosesAPortLeftOpen) {
  Conversation run(testing::MeterWith(2));
  ASSERT_EQ(run.port.Open(0), d2xx::FT_OK);
  EndDownload(run.link, &run.window);
  EXPECT_EQ(run.bus.CallLog(), (testing::Lines{"FT_Open(0)", "FT_Close"}));
  EXPECT_TRUE(run.bus.WireLog().empty());
}

}  // namespace
}  // namespace klxr
