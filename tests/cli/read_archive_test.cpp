// read keeps its log in the survey archive before writing its outputs: also a transfer that failed
// part-way, also when an output then cannot be written; an archive that cannot be opened leaves
// the outputs as they would be and says why.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "archive/survey_archive.h"
#include "cli/exit_status.h"
#include "cli/meter_commands.h"
#include "log/log_files.h"
#include "run_tool.h"
#include "support/recording_message_boxes.h"
#include "virtual-meter/bus_config.h"
#include "virtual-meter/meter_records.h"
#include "virtual-meter/virtual_bus.h"

namespace klxr::cli {
namespace {

namespace fs = std::filesystem;

class ReadArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        fs::temp_directory_path() / ("klxr-archive-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_ / "out");
    saved_ = std::getenv("KLXR_ARCHIVE") ? std::getenv("KLXR_ARCHIVE") : "";
    klxr::testing::SetVariable("KLXR_ARCHIVE", PathOf("archive/surveys.sqlite"));
  }
  void TearDown() override {
    klxr::testing::SetVariable("KLXR_ARCHIVE", saved_);
    fs::remove_all(folder_);
  }
  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

  // Reads from a meter holding `records`, which vanishes after `vanishAfter` replies (0: never);
  // beforeDelivery runs at the program's first pause, after the outputs were checked.
  int Read(int records, int vanishAfter, const std::vector<std::string>& arguments,
           std::function<void()> beforeDelivery = {}) {
    vm::BusConfig config = vm::OneMeter(vm::GeneratedRecords(records, 4));
    config.clock = vm::ClockKind::kVirtual;
    if (vanishAfter > 0) {
      config.adapters[0].vanish = {vm::VanishTrigger::kAfterReplies, vanishAfter};
    }
    bus_.emplace(std::move(config));
    MeterConnection connection;
    connection.driver = &driver_;
    const SleepFunction sleep = bus_->SleepFunction();
    connection.sleep = [sleep, beforeDelivery](std::uint32_t ms) mutable {
      if (beforeDelivery) {
        std::exchange(beforeDelivery, nullptr)();
      }
      sleep(ms);
    };
    err_.str("");
    return ReadCommand(arguments, context_, connection);
  }

  std::vector<archive::SurveySummary> Surveys() {
    auto opened = archive::SurveyArchive::Open(PathOf("archive/surveys.sqlite"));
    EXPECT_TRUE(opened.Ok()) << opened.Problem();
    return opened ? opened.Value()->List().Value() : std::vector<archive::SurveySummary>{};
  }

  fs::path folder_;
  std::string saved_;
  std::optional<vm::VirtualBus> bus_;
  const d2xx::D2xxFunctions driver_ = vm::VirtualBus::Functions();
  std::ostringstream out_;
  std::ostringstream err_;
  klxr::testing::RecordingMessageBoxes boxes_;
  CliContext context_{out_, err_, boxes_};
};

TEST_F(ReadArchiveTest, EachReadIsKeptBeforeItsOutputs) {
  const struct {
    const char* name;
    int records;
    int vanishAfter;
    bool removeOutputFolder;
    int status;
    int kept;  // records of the survey kept
    bool complete;
    const char* told;
  } cases[] = {
      {"complete", 25, 0, false, kExitOk, 25, true, "kept as survey 1\n"},
      // 702 replies: the answer to "LOG", 700 records, and one the lead is gone before it is acked.
      {"the meter gone after 700 records", 1568, 702, false, kExitFailure, 700, false,
       "kept as survey 2, incomplete\n"},
      {"the .tlg cannot be written", 30, 0, true, kExitFailure, 30, true, "kept as survey 3\n"},
      {"the same log again", 25, 0, false, kExitOk, 25, true, "kept as survey 1 (read before)\n"},
  };
  for (const auto& test : cases) {
    fs::create_directories(folder_ / "out");
    const int status = Read(test.records, test.vanishAfter, {"--out", PathOf("out/log.tlg")}, [&] {
      if (test.removeOutputFolder) {
        fs::remove_all(folder_ / "out");
      }
    });
    EXPECT_EQ(status, test.status) << test.name;
    EXPECT_NE(err_.str().find(std::string("klxr-log-cli read: ") + test.told), std::string::npos)
        << test.name << ": " << err_.str();
    const auto surveys = Surveys();
    const auto survey = std::find_if(surveys.begin(), surveys.end(), [&](const auto& kept) {
      return err_.str().find("survey " + std::to_string(kept.id)) != std::string::npos;
    });
    ASSERT_NE(survey, surveys.end()) << test.name;
    EXPECT_EQ(survey->recordCount, test.kept) << test.name;
    EXPECT_EQ(survey->complete, test.complete) << test.name;
    EXPECT_EQ(survey->source, "read") << test.name;
    EXPECT_EQ(survey->adapterSerial.has_value(), true) << test.name;
  }
  EXPECT_EQ(Surveys().size(), 3u);
  EXPECT_EQ(Surveys().back().sightings, 2);  // survey 1, read twice
}

TEST_F(ReadArchiveTest, AnArchiveThatCannotBeOpenedLeavesTheOutputsAsTheyWouldBe) {
  fs::create_directories(folder_ / "archive");
  std::ofstream(PathOf("archive/surveys.sqlite")) << std::string(8192, 'x');
  EXPECT_EQ(Read(12, 0, {"--out", PathOf("out/log.tlg"), "--csv", PathOf("out/log.csv")}), kExitOk);
  EXPECT_NE(err_.str().find("klxr-log-cli read: the log was not archived: cannot open the survey "
                            "archive '" +
                            PathOf("archive/surveys.sqlite") + "': file is not a database\n"),
            std::string::npos)
      << err_.str();
  LogImage image;
  ASSERT_EQ(LoadLogFile(image, PathOf("out/log.tlg"), nullptr, boxes_, false), 0);
  EXPECT_EQ(CountRecords(image, nullptr), 12);
  EXPECT_EQ(klxr::testing::ReadWholeFile(PathOf("out/log.csv")), MakeCsvText(image, 12));
  EXPECT_EQ(klxr::testing::ReadWholeFile(PathOf("archive/surveys.sqlite")), std::string(8192, 'x'));
}

TEST_F(ReadArchiveTest, NoArchiveKeepsNothing) {
  EXPECT_EQ(Read(5, 0, {"--no-archive", "--out", PathOf("out/log.tlg")}), kExitOk);
  EXPECT_EQ(err_.str().find("archive"), std::string::npos) << err_.str();
  EXPECT_FALSE(fs::exists(PathOf("archive")));
}

}  // namespace
}  // namespace klxr::cli
