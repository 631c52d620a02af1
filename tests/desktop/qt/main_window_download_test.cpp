// A log download through the main window's real timer, from the in-process virtual meter on its
// virtual clock, with the progress bar checked on the rendered window.
#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <algorithm>
#include <csignal>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "app_test_support.h"
#include "desktop/qt/file_chooser.h"
#include "desktop/qt/progress_bar.h"
#include "link/log_download.h"
#include "resources/command_ids.h"

namespace klxr {
namespace {

using testing::AppTest;
using testing::RunEventsUntil;

constexpr int kRecords = 784;  // half the slots: the bar fills to half at the end of the log

// The client area as the window paints it.
QImage Rendered(MainWindow& window) {
  return window.ClientArea().grab().toImage();
}

bool IsBlack(const QImage& image, int x, int y) {
  return image.pixel(x, y) == qRgb(0, 0, 0);
}

// How many pixels of the bar's middle row, from x = 11, are black in a run.
int FilledRun(const QImage& image) {
  int x = kBarLeft + 1;
  while (x < kBarRight - 1 && IsBlack(image, x, 25)) {
    ++x;
  }
  return x - (kBarLeft + 1);
}

bool OutlineShows(const QImage& image) {
  for (int x = kBarLeft; x < kBarRight; ++x) {
    if (!IsBlack(image, x, kBarTop) || !IsBlack(image, x, kBarBottom - 1)) {
      return false;
    }
  }
  for (int y = kBarTop; y < kBarBottom; ++y) {
    if (!IsBlack(image, kBarLeft, y) || !IsBlack(image, kBarRight - 1, y)) {
      return false;
    }
  }
  return true;
}

bool BarIsBlank(const QImage& image) {
  for (int y = kBarTop; y < kBarBottom; ++y) {
    for (int x = kBarLeft; x < kBarRight; ++x) {
      if (image.pixel(x, y) != qRgb(255, 255, 255)) {
        return false;
      }
    }
  }
  return true;
}

TEST_F(AppTest, ReadFillsTheLogRecordByRecordWhileTheBarGrows) {
  const std::vector<vm::RecordBytes> records = vm::GeneratedRecords(kRecords);
  StartWithMeter(records);
  EXPECT_TRUE(BarIsBlank(Rendered(Window())));

  QImage atCompletion;
  int shownAtCompletion = 0;
  boxes_.onShow = [&](int index) {
    if (index == msg::kTransferComplete) {
      shownAtCompletion = State().Link.Download.ProgressShown;
      atCompletion = Rendered(Window());
    }
  };
  app_->Command(cmd::kRead);

  // At 0 records only the outline shows.
  const QImage atStart = Rendered(Window());
  EXPECT_EQ(State().Link.Download.ProgressShown, 0);
  EXPECT_TRUE(OutlineShows(atStart));
  EXPECT_EQ(FilledRun(atStart), 0);

  // Half way through the log, the fill ends just before R = shown * 205 / 1568 + 10.
  ASSERT_TRUE(RunEventsUntil([&] { return State().Link.Download.ProgressShown >= 400; }));
  const int shown = State().Link.Download.ProgressShown;
  const QImage halfWay = Rendered(Window());
  EXPECT_TRUE(State().Link.Download.DownloadRunning);
  EXPECT_TRUE(OutlineShows(halfWay));
  EXPECT_EQ(FilledRun(halfWay), ProgressFillRight(shown, kSlotCount) - 2 - kBarLeft) << shown;

  // At completion the bar is full while "Transfer Complete!" shows, and blank afterwards.
  ASSERT_TRUE(RunEventsUntil([&] { return !State().Link.Download.DownloadRunning; }));
  EXPECT_EQ(boxes_.Indexes(), (std::vector<int>{msg::kTransferComplete}));
  EXPECT_EQ(shownAtCompletion, kSlotCount);
  EXPECT_TRUE(OutlineShows(atCompletion));
  EXPECT_EQ(FilledRun(atCompletion), kBarWidth - 2);
  EXPECT_TRUE(BarIsBlank(Rendered(Window())));

  EXPECT_FALSE(Window().IsTimerRunning(cmd::kDownloadTimerId));
  EXPECT_TRUE(Window().CommandAction(cmd::kView)->isEnabled());
  EXPECT_EQ(CountRecords(State().Image, nullptr), kRecords);
  for (int slot = 0; slot < kRecords; ++slot) {
    ASSERT_TRUE(
        std::equal(records[slot].begin(), records[slot].end(), State().Image.Slot(slot).begin()))
        << slot;
  }
  EXPECT_EQ(bus_->WireLog().back(), "-> 02 03 45 4E 44 25");  // "END"
}

TEST_F(AppTest, ClosingTheWindowDuringADownloadStopsItsTimer) {
  StartWithMeter(vm::GeneratedRecords(200));
  app_->Command(cmd::kRead);
  ASSERT_TRUE(RunEventsUntil([&] { return State().Link.Download.RecordsReceived >= 5; }));
  boxes_.answers = {Answer::Yes};  // "Stop reading the meter log?"
  Window().close();
  EXPECT_TRUE(app_->Closed());
  EXPECT_FALSE(State().Link.Download.DownloadRunning);
  EXPECT_FALSE(Window().IsTimerRunning(cmd::kDownloadTimerId));

  // No tick reaches the meter any more.
  const std::size_t calls = bus_->CallLog().size();
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 30) {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  EXPECT_EQ(bus_->CallLog().size(), calls);
  EXPECT_EQ(boxes_.boxes.size(), 1u);  // the question only
  EXPECT_EQ(app_->Run(), 0);
}

// Every way the program is closed during a Read ends the conversation as a finished Read does:
// "END" last on the wire, the port closed last of the driver calls, and the meter out of its log.
// The close box and E&xit ask first (answered Yes here); a signal asks nothing.
TEST_F(AppTest, ClosingDuringAReadSendsEndAndClosesThePortBeforeTheProgramEnds) {
  const struct {
    const char* name;
    std::function<void(Application&)> close;
    bool asks;
  } kWays[] = {
      {"close box", [](Application& app) { app.Window()->Close(); }, true},
      {"E&xit", [](Application& app) { app.Command(cmd::kExit); }, true},
      {"SIGTERM", [](Application&) { std::raise(SIGTERM); }, false},
      {"SIGINT", [](Application&) { std::raise(SIGINT); }, false},
  };
  for (const auto& way : kWays) {
    SCOPED_TRACE(way.name);
    StartWithMeter(vm::GeneratedRecords(200));
    boxes_.boxes.clear();
    boxes_.answers = {Answer::Yes};
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (!State().Link.Download.DownloadRunning && State().Link.Download.RecordsReceived == 0) {
        app_->Command(cmd::kRead);
      } else if (State().Link.Download.RecordsReceived >= 5) {
        poll.stop();
        way.close(*app_);
      }
    });
    poll.start(1);
    EXPECT_EQ(app_->Run(), 0);

    EXPECT_TRUE(app_->Closed());
    EXPECT_FALSE(State().Link.Download.DownloadRunning);
    EXPECT_LT(State().Link.Download.RecordsReceived, 200);
    EXPECT_EQ(bus_->WireLog().back(), "-> 02 03 45 4E 44 25");  // "END"
    EXPECT_EQ(bus_->CallLog().back(), "FT_Close");
    EXPECT_FALSE(bus_->Adapter(0).Meter()->InLogConversation());
    EXPECT_EQ(boxes_.boxes.size(), way.asks ? 1u : 0u);
    app_.reset();
    bus_.reset();
  }
}

TEST_F(AppTest, LoadDuringADownloadStopsItBeforeTheFileReplacesTheImage) {
  StartWithMeter(vm::GeneratedRecords(200));
  app_->Command(cmd::kRead);
  ASSERT_TRUE(RunEventsUntil([&] { return State().Link.Download.RecordsReceived >= 3; }));

  const std::string sample = std::string(KLXR_SOURCE_DIR) + "/samples/mixed.tlg";
  testing::WhenModalShown([&sample](QWidget* modal) {
    auto* chooser = qobject_cast<FileChooser*>(modal);
    ASSERT_NE(chooser, nullptr);
    chooser->NameField().setText(QString::fromStdString(sample));
    chooser->OnOk();
  });
  app_->Command(cmd::kLoad);

  EXPECT_FALSE(State().Link.Download.DownloadRunning);
  EXPECT_FALSE(Window().IsTimerRunning(cmd::kDownloadTimerId));
  EXPECT_FALSE(State().Link.SharedPort->IsOpen());
  std::ifstream file(sample, std::ios::binary);
  const std::string expected{std::istreambuf_iterator<char>(file), {}};
  EXPECT_EQ(std::string(State().Image.bytes.begin(), State().Image.bytes.end()), expected);
  // A tick that was already queued finds no download and stores nothing.
  const std::size_t calls = bus_->CallLog().size();
  DownloadStep(State().Link, &Window());
  EXPECT_EQ(bus_->CallLog().size(), calls);
  EXPECT_EQ(std::string(State().Image.bytes.begin(), State().Image.bytes.end()), expected);
  EXPECT_TRUE(boxes_.boxes.empty());
}

}  // namespace
}  // namespace klxr
