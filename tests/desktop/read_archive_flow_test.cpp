// The desktop program keeps each Read that ends in the survey archive and holds its id for the
// shells; the setting turns it off; a problem with the archive is told once per run and the Read
// goes on exactly as without it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>

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

StartUpServices ArchivingServices(vm::VirtualBus& bus, const std::string& file,
                                  std::optional<std::string> setting) {
  StartUpServices services = testing::BusServices(bus);
  services.readSetting = [setting](std::string_view name) {
    return name == kArchiveSurveysSetting ? setting : std::nullopt;
  };
  services.archiveFile = [file](const std::optional<std::string>& value) {
    return value == "0" ? std::string() : file;
  };
  return services;
}

class ReadArchiveFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("klxr-desk-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  // Starts the program on a meter with `records` that vanishes after `vanishAfter` replies (0:
  // never) and runs `reads` Reads to their end; returns the survey of each.
  std::vector<std::optional<std::int64_t>> Reads(int records, int vanishAfter, int reads,
                                                 std::optional<std::string> setting) {
    vm::BusConfig config = vm::OneMeter(vm::GeneratedRecords(records, 9));
    if (vanishAfter > 0) {
      config.adapters[0].vanish = {vm::VanishTrigger::kAfterReplies, vanishAfter};
    }
    vm::VirtualBus bus(std::move(config));
    testing::FakeDesktopShell shell;
    Application app(shell, boxes_, ArchivingServices(bus, File(), setting));
    EXPECT_TRUE(app.Start(""));
    std::vector<std::optional<std::int64_t>> surveys;
    for (int read = 0; read < reads; ++read) {
      app.Command(cmd::kRead);
      while (app.State().Link.Download.DownloadRunning) {
        app.TimerTick(cmd::kDownloadTimerId);
      }
      surveys.push_back(app.State().LastSurvey);
    }
    return surveys;
  }
  std::string File() const { return (folder_ / "surveys.sqlite").string(); }
  std::vector<archive::SurveySummary> Kept() {
    auto opened = archive::SurveyArchive::Open(File());
    return opened ? opened.Value()->List().Value() : std::vector<archive::SurveySummary>{};
  }

  fs::path folder_;
  testing::RecordingMessageBoxes boxes_;
};

TEST_F(ReadArchiveFlowTest, ReadsThatEndAreKeptWithTheirOwnBoxesOnly) {
  const struct {
    const char* name;
    int records;
    int vanishAfter;
    std::optional<std::string> setting;
    std::optional<std::int64_t> survey;
    int kept;
    bool complete;
    int box;  // the Read's own box, the only one shown
  } cases[] = {
      {"complete", 20, 0, std::nullopt, 1, 20, true, msg::kTransferComplete},
      {"failed part-way", 1568, 52, "1", 2, 50, false, msg::kHandshakeNotReceived},
      {"the setting is 0", 30, 0, "0", std::nullopt, 0, false, msg::kTransferComplete},
  };
  for (const auto& test : cases) {
    boxes_.boxes.clear();
    const auto surveys = Reads(test.records, test.vanishAfter, 1, test.setting);
    EXPECT_EQ(surveys.front(), test.survey) << test.name;
    EXPECT_EQ(boxes_.Indexes(), std::vector<int>{test.box}) << test.name;
    if (test.survey) {
      const auto kept = Kept();
      const auto survey = std::find_if(kept.begin(), kept.end(),
                                       [&](const auto& s) { return s.id == *test.survey; });
      ASSERT_NE(survey, kept.end()) << test.name;
      EXPECT_EQ(survey->recordCount, test.kept) << test.name;
      EXPECT_EQ(survey->complete, test.complete) << test.name;
    }
  }
  EXPECT_EQ(Kept().size(), 2u);
}

TEST_F(ReadArchiveFlowTest, AnArchiveThatCannotBeOpenedIsToldOncePerRun) {
  std::ofstream(File()) << std::string(4096, 'x');
  const auto surveys = Reads(10, 0, 3, std::nullopt);
  EXPECT_EQ(surveys, std::vector<std::optional<std::int64_t>>(3));
  ASSERT_EQ(boxes_.boxes.size(), 4u);  // three "Transfer Complete!", and one of the archive's
  EXPECT_EQ(boxes_.boxes[1].index, msg::kOwnText);
  EXPECT_EQ(boxes_.boxes[1].text, kArchiveProblemText);
  EXPECT_EQ(boxes_.Indexes(), (std::vector<int>{msg::kTransferComplete, msg::kOwnText,
                                                msg::kTransferComplete, msg::kTransferComplete}));
}

}  // namespace
}  // namespace klxr
