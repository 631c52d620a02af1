// The progress of "read": its texts, how often a live line is redrawn, the plain lines of
// --progress, and the Ctrl-C flag.
#include "cli/read_progress.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sstream>
#include <utility>

#include "cli/interrupt.h"

namespace klxr::cli {
namespace {

constexpr std::int64_t kSecond = 1'000'000;

DownloadState Running(int records) {
  DownloadState state;
  state.DownloadRunning = true;
  state.ProgressTotal = 1568;
  state.ProgressShown = records;
  state.RecordsReceived = records;
  return state;
}

DownloadState Ended(int records) {
  DownloadState state = Running(records);
  state.ProgressShown = state.ProgressTotal;
  return state;
}

TEST(LiveProgressText, RateAndTimeLeftOnceRecordsArrive) {
  const std::string bar0 = "Reading the meter log [                                        ] ";
  const std::string bar20 = "Reading the meter log [####################                    ] ";
  struct Case {
    DownloadState state;
    std::int64_t elapsed;
    std::string text;
  };
  const Case cases[] = {
      {Running(0), 3 * kSecond, bar0 + "0 of 1568 records"},
      {Running(5), 0, bar0 + "5 of 1568 records"},  // no time yet: no rate
      {Running(784), 392 * kSecond, bar20 + "784 of 1568 records, 2.0/s, up to 6:32 left"},
      {Running(1), 5 * kSecond, bar0 + "1 of 1568 records, 0.2/s, up to 2:10:35 left"},
      {Running(100), 1 * kSecond,
       "Reading the meter log [##                                      ] 100 of 1568 records, "
       "100.0/s, up to 0:15 left"},
      {Running(1567), 1567 * kSecond / 8,
       "Reading the meter log [####################################### ] 1567 of 1568 records, "
       "8.0/s, up to 0:00 left"},
      {Ended(40), 9 * kSecond,
       "Reading the meter log [########################################] 40 records, end of log"},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(LiveProgressText(test.state, test.elapsed), test.text);
  }
}

TEST(LiveProgressText, NarrowsTheBarToFitTheTerminal) {
  struct Case {
    int columns;
    std::string text;
  };
  const Case cases[] = {
      // Wide enough for the whole bar.
      {200,
       "Reading the meter log [####################                    ] 784 of 1568 records, "
       "2.0/s, up to 6:32 left"},
      // 80 columns: the bar gives way so that the line takes 79.
      {80, "Reading the meter log [#####     ] 784 of 1568 records, 2.0/s, up to 6:32 left"},
      // Too narrow even for the narrowest bar: the line is cut.
      {60, "Reading the meter log [#####     ] 784 of 1568 records, 2.0"},
      {1, ""},
  };
  for (const Case& test : cases) {
    const std::string text = LiveProgressText(Running(784), 392 * kSecond, test.columns);
    EXPECT_EQ(text, test.text) << test.columns;
    EXPECT_LT(text.size(), static_cast<std::size_t>(test.columns));
  }
  // The end of the log keeps the bar's width although its line is shorter.
  EXPECT_EQ(LiveProgressText(Ended(784), 392 * kSecond, 80),
            "Reading the meter log [##########] 784 records, end of log");
}

// Any width: the line never takes the last column and always holds the counts; below 60 columns
// the bar gives way to them.
TEST(LiveProgressText, FitsEveryWidthAndKeepsTheCounts) {
  const struct {
    int columns;
    const char* running;  // 784 of 1568 records, 2 a second
    const char* ended;
  } cases[] = {
      {20, "784/1568 (50 %)", "784 records"},
      {40, "records 784/1568 (50 %)", "784 records, end of log"},
      {59, "records 784/1568 (50 %), 2.0/s, 6:32 left", "784 records, end of log"},
      {60, "Reading the meter log [#####     ] 784 of 1568 records, 2.0",
       "784 records, end of log"},
      {80, "784 of 1568 records, 2.0/s, up to 6:32 left", "784 records, end of log"},
      {200, "784 of 1568 records, 2.0/s, up to 6:32 left", "784 records, end of log"},
  };
  for (const auto& test : cases) {
    const auto room = static_cast<std::size_t>(test.columns - 1);
    const std::string running = LiveProgressText(Running(784), 392 * kSecond, test.columns);
    const std::string ended = LiveProgressText(Ended(784), 392 * kSecond, test.columns);
    EXPECT_LE(running.size(), room) << test.columns << ": " << running;
    EXPECT_LE(ended.size(), room) << test.columns << ": " << ended;
    EXPECT_NE(running.find(test.running), std::string::npos) << test.columns << ": " << running;
    EXPECT_NE(ended.find(test.ended), std::string::npos) << test.columns << ": " << ended;
    EXPECT_EQ(running.find('#') != std::string::npos, test.columns >= 60) << test.columns;
  }
  // The narrowest terminals keep what of the counts they can.
  EXPECT_EQ(LiveProgressText(Running(1567), kSecond, 10), "1567/1568");
  EXPECT_EQ(LiveProgressText(Running(784), kSecond, 5), "784/");
}

TEST(ProgressTexts, PlainLinesAndSummary) {
  EXPECT_EQ(PlainProgressText(157, 1568), "Reading the meter log: 157 of 1568 records (10 %)");
  EXPECT_EQ(PlainProgressText(1568, 1568), "Reading the meter log: 1568 of 1568 records (100 %)");
  EXPECT_EQ(SummaryText(40, 8'449'000), "40 records read in 8.4 s");
  EXPECT_EQ(SummaryText(1, 250'000), "1 record read in 0.2 s");
  EXPECT_EQ(SummaryText(0, 0), "0 records read in 0.0 s");
  EXPECT_EQ(SummaryText(1568, 313'960'000), "1568 records read in 314.0 s");
}

TEST(ReadProgress, PlainLinesAtEachTenthAndNotAtTheEnd) {
  std::ostringstream err;
  ReadProgress progress(err, ProgressStyle::kPlainLines, [] { return 0; });
  for (int records = 0; records < 1568; ++records) {
    progress.Update(Running(records));
    progress.Update(Running(records));  // a repaint without a new record changes nothing
  }
  progress.Update(Ended(1568));
  progress.Summarize(1568);
  std::string expected;
  for (int tenth = 1; tenth <= 9; ++tenth) {
    const int records = (tenth * 1568 + 9) / 10;  // the first count that reaches the tenth
    expected += PlainProgressText(records, 1568) + "\n";
  }
  EXPECT_EQ(err.str(), expected + "1568 records read in 0.0 s\n");
}

TEST(ReadProgress, LiveLineIsRedrawnAtMostEveryTenthOfASecond) {
  std::ostringstream err;
  std::int64_t now = 5 * kSecond;
  ReadProgress progress(err, ProgressStyle::kLiveLine, [&now] { return now; });
  const auto drawn = [&err] {
    const std::string text = err.str();
    return std::count(text.begin(), text.end(), '\r');
  };
  progress.Update(Running(0));  // the first "GET": the rate counts from here
  EXPECT_EQ(drawn(), 1);
  now += 50'000;
  progress.Update(Running(1));
  EXPECT_EQ(drawn(), 1);
  now += 50'000;
  progress.Update(Running(2));
  EXPECT_EQ(drawn(), 2);
  EXPECT_NE(err.str().find("2 of 1568 records, 20.0/s"), std::string::npos) << err.str();
  now += 1'000;
  progress.Update(Ended(2));  // the end is always drawn
  EXPECT_EQ(drawn(), 3);
  progress.End();
  now = 7 * kSecond;
  progress.Summarize(2);
  const std::string text = err.str();
  const std::string tail = " \n2 records read in 2.0 s\n";
  EXPECT_NE(text.find("] 2 records, end of log "), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

// A resize is looked at before the next redraw: the line is erased whole and drawn at the new
// width; without a terminal nothing is drawn at all.
TEST(ReadProgress, RedrawnAtTheNewWidthAfterAResize) {
  std::ostringstream err;
  std::int64_t now = 0;
  int resizedTo = 0;
  ReadProgress progress(
      err, ProgressStyle::kLiveLine, [&now] { return now; }, 80,
      [&resizedTo] { return std::exchange(resizedTo, 0); });
  progress.Update(Running(0));
  now += kSecond;
  progress.Update(Running(700));
  const std::size_t wide = err.str().size();
  resizedTo = 30;
  now += kSecond;
  progress.Update(Running(701));
  const std::string after = err.str().substr(wide);
  EXPECT_EQ(after.rfind("\r\x1b[K\r", 0), 0u) << after;
  EXPECT_LE(after.size() - 5, 29u) << after;
  EXPECT_NE(after.find("701/1568"), std::string::npos) << after;

  std::ostringstream none;
  ReadProgress quiet(
      none, ProgressStyle::kNone, [&now] { return now; }, 80, [] { return 40; });
  for (const int records : {0, 700, 1568}) {
    now += kSecond;
    quiet.Update(Running(records));
  }
  quiet.End();
  EXPECT_EQ(none.str(), "");
}

TEST(InterruptCatcher, CtrlCAndSigtermRaiseTheFlagOnceAndAreUndoneAfterwards) {
  for (const int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal);
    EXPECT_FALSE(InterruptRequested());
    {
      const InterruptCatcher catcher;
      EXPECT_FALSE(InterruptRequested());
      std::raise(signal);
      EXPECT_TRUE(InterruptRequested());
    }
    {
      const InterruptCatcher catcher;  // a new read starts without the old signal
      EXPECT_FALSE(InterruptRequested());
    }
#ifndef _WIN32
    for (const int caught : {SIGINT, SIGTERM}) {
      struct sigaction current {};
      sigaction(caught, nullptr, &current);
      EXPECT_EQ(current.sa_handler, SIG_DFL);
    }
#endif
  }
}

}  // namespace
}  // namespace klxr::cli
