// Stopping a Read: Escape, E&xit and the close box ask while a Read runs; No lets it go on, Yes
// ends it as the program's end does and keeps what arrived as an incomplete survey. Without a Read
// nothing is asked and Exit and the close box close as always.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "archive/survey_archive.h"
#include "desktop/application.h"
#include "resources/command_ids.h"
#include "support/bus_services.h"
#include "support/fake_desktop_shell.h"
#include "support/recording_message_boxes.h"
#include "virtual-meter/bus_config.h"
#include "virtual-meter/meter_records.h"
#include "virtual-meter/virtual_bus.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;

constexpr char kEndSent[] = "-> 02 03 45 4E 44 25";
constexpr int kMeterRecords = 40;
constexpr int kRecordsBeforeStop = 7;

enum class Action { kEscape, kExit, kCloseBox, kSignal };
enum class Given { kNoRead, kNo, kYes };

struct StopCase {
  const char* name;
  Action action;
  Given given;
  bool closed;
};

class StopReadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("klxr-stop-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::vector<archive::SurveySummary> Kept() const {
    auto opened = archive::SurveyArchive::Open((folder_ / "surveys.sqlite").string());
    return opened ? opened.Value()->List().Value() : std::vector<archive::SurveySummary>{};
  }

  fs::path folder_;
};

void Perform(Application& app, testing::FakeDesktopWindow& window, Action action) {
  switch (action) {
    case Action::kEscape:
      window.PressEscape();
      break;
    case Action::kExit:
      app.Command(cmd::kExit);
      break;
    case Action::kCloseBox:
      window.ClickCloseBox();
      break;
    case Action::kSignal:
      window.Close();
      break;
  }
}

TEST_F(StopReadTest, TheQuestionDecidesWhetherTheReadStopsAndTheWindowCloses) {
  const StopCase cases[] = {
      {"Escape, no Read", Action::kEscape, Given::kNoRead, false},
      {"Escape, No", Action::kEscape, Given::kNo, false},
      {"Escape, Yes", Action::kEscape, Given::kYes, false},
      {"Exit, no Read", Action::kExit, Given::kNoRead, true},
      {"Exit, No", Action::kExit, Given::kNo, false},
      {"Exit, Yes", Action::kExit, Given::kYes, true},
      {"close box, no Read", Action::kCloseBox, Given::kNoRead, true},
      {"close box, No", Action::kCloseBox, Given::kNo, false},
      {"close box, Yes", Action::kCloseBox, Given::kYes, true},
      // A signal or the system's shutdown closes without asking; the Read is kept all the same.
      {"signal during a Read", Action::kSignal, Given::kYes, true},
  };
  for (const StopCase& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(folder_ / "surveys.sqlite");
    vm::VirtualBus bus(vm::OneMeter(vm::GeneratedRecords(kMeterRecords, 3)));
    testing::FakeDesktopShell shell;
    testing::RecordingMessageBoxes boxes;
    StartUpServices services = testing::BusServices(bus);
    const std::string file = (folder_ / "surveys.sqlite").string();
    services.archiveFile = [file](const std::optional<std::string>&) { return file; };
    Application app(shell, boxes, std::move(services));
    ASSERT_TRUE(app.Start(""));
    const bool reading = c.given != Given::kNoRead;
    DownloadState& download = app.State().Link.Download;
    if (reading) {
      app.Command(cmd::kRead);
      while (download.DownloadRunning && download.RecordsReceived < kRecordsBeforeStop) {
        app.TimerTick(cmd::kDownloadTimerId);
      }
      ASSERT_TRUE(download.DownloadRunning);
    }
    boxes.answers = {c.given == Given::kYes ? Answer::Yes : Answer::No};
    const std::size_t wireBefore = bus.WireLog().size();

    Perform(app, *shell.window, c.action);

    const bool asked = reading && c.action != Action::kSignal;
    const bool stopped = reading && c.given == Given::kYes;
    if (asked) {
      ASSERT_EQ(boxes.boxes.size(), 1u);
      EXPECT_EQ(boxes.boxes[0],
                (testing::RecordedBox{msg::kOwnText, kStopReadQuestion, BoxKind::Question}));
      EXPECT_EQ(boxes.defaultNo, std::vector<std::size_t>{0});
    } else {
      EXPECT_TRUE(boxes.boxes.empty());
    }
    EXPECT_EQ(shell.window->closed, c.closed);
    EXPECT_EQ(app.Closed(), c.closed);
    EXPECT_EQ(download.DownloadRunning, reading && !stopped);
    const std::vector<std::string> wire = bus.WireLog();
    const bool endSent = std::find(wire.begin() + static_cast<std::ptrdiff_t>(wireBefore),
                                   wire.end(), kEndSent) != wire.end();
    EXPECT_EQ(endSent, stopped);
    if (stopped) {
      // The records that arrived stay in the image and in the archive, as an incomplete survey.
      EXPECT_EQ(CountRecords(app.State().Image, nullptr), kRecordsBeforeStop);
      const auto kept = Kept();
      ASSERT_EQ(kept.size(), 1u);
      EXPECT_EQ(app.State().LastSurvey, kept[0].id);
      EXPECT_EQ(kept[0].recordCount, kRecordsBeforeStop);
      EXPECT_FALSE(kept[0].complete);
    } else if (reading) {
      // No: the Read goes on to its end, kept complete.
      while (download.DownloadRunning) {
        app.TimerTick(cmd::kDownloadTimerId);
      }
      const auto kept = Kept();
      ASSERT_EQ(kept.size(), 1u);
      EXPECT_EQ(kept[0].recordCount, kMeterRecords);
      EXPECT_TRUE(kept[0].complete);
    }
  }
}

}  // namespace
}  // namespace klxr
