// The "History" command and the actions of its window on a real archive in a temporary folder:
// the program without an archive, the rows, Open, Label, Export in each format, Compare and
// Forget, and the title that names the survey holding the log.
#include "desktop/history_flow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "archive/survey_time.h"
#include "desktop/application.h"
#include "log/log_files.h"
#include "resources/command_ids.h"
#include "samples/record_builder.h"
#include "samples/sample_logs.h"
#include "support/bus_services.h"
#include "support/fake_desktop_shell.h"
#include "support/recording_message_boxes.h"
#include "virtual-meter/bus_config.h"
#include "virtual-meter/meter_records.h"
#include "virtual-meter/virtual_bus.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Answers the window's questions from a script and keeps what it was shown.
class ScriptedHistoryView : public HistoryView {
 public:
  bool AskLabel(std::string& site, std::string& note) override {
    asked.push_back(site + "|" + note);
    if (!label) {
      return false;
    }
    site = label->first;
    note = label->second;
    return true;
  }
  bool ChooseFile(ChooserRequest& request, const ChooserCommand& command, MessageBoxes&) override {
    choosers.push_back(std::string(command.valueName) + " " + std::string(command.extensionFilter));
    request.ChosenPath = path;
    return !path.empty();
  }
  void ShowComparison(const ComparisonTable& table) override { shown = table; }

  std::optional<std::pair<std::string, std::string>> label;
  std::string path;
  std::vector<std::string> asked;
  std::vector<std::string> choosers;
  std::optional<ComparisonTable> shown;
};

// A log of digital records: frequency in kHz, channel, level in dBm tenths (0 is 108.75 dBuV).
LogImage DigitalLog(std::initializer_list<std::tuple<std::uint32_t, const char*, int>> records) {
  LogImage image;
  int slot = 0;
  for (const auto& [frequency, channel, level] : records) {
    samples::DigitalFields fields;
    fields.mode = 64;
    fields.digitalPower = samples::MakeLevelWord(level);
    fields.mer = samples::MakeLevelWord(300);
    samples::WriteDigitalRecord(image.Slot(slot), {'D', slot, 0, frequency, channel, "", "", 4},
                                fields);
    ++slot;
  }
  return image;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class HistoryFlowTest : public ::testing::Test {
 protected:
  HistoryFlowTest()
      : folder_(fs::temp_directory_path() /
                ("klxr-history-" + std::to_string(std::random_device{}()))),
        bus_(vm::OneMeter(vm::GeneratedRecords(12, 5))) {
    fs::create_directories(folder_);
  }
  ~HistoryFlowTest() override { fs::remove_all(folder_); }

  // Starts the program with the archive file (empty: none kept).
  Application& Start(std::string file) {
    StartUpServices services = testing::BusServices(bus_);
    services.archiveFile = [file](const std::optional<std::string>&) { return file; };
    app_ = std::make_unique<Application>(shell_, boxes_, services);
    EXPECT_TRUE(app_->Start(""));
    return *app_;
  }
  std::string File() const { return (folder_ / "surveys.sqlite").string(); }

  archive::SurveyId Keep(const LogImage& image, std::string site,
                         std::chrono::system_clock::time_point seen,
                         archive::SurveySource source = archive::SurveySource::kRead) {
    auto archive = archive::SurveyArchive::Open(File());
    archive::SurveyFacts facts;
    facts.seen = seen;
    facts.source = source;
    facts.site = std::move(site);
    return archive.Value()->Store(image, facts).Value().id;
  }
  std::vector<archive::SurveySummary> Kept() {
    return archive::SurveyArchive::Open(File()).Value()->List().Value();
  }
  // Runs "&History..." with the user's actions in its window.
  CommandOutcome History(const std::function<void(HistoryCommands&)>& actions) {
    shell_.onHistory = actions;
    return app_->Command(cmd::kHistory);
  }

  fs::path folder_;
  vm::VirtualBus bus_;
  testing::FakeDesktopShell shell_;
  testing::RecordingMessageBoxes boxes_;
  std::unique_ptr<Application> app_;
  ScriptedHistoryView view_;
  const std::chrono::system_clock::time_point march_ =
      std::chrono::sys_days(std::chrono::year(2026) / 3 / 14) + 9h + 26min;
};

TEST_F(HistoryFlowTest, WithoutAnArchiveABoxSaysWhyAndNoWindowOpens) {
  std::ofstream(folder_ / "broken.sqlite") << std::string(4096, 'x');
  const struct {
    std::string file;
    std::string text;
  } kCases[] = {
      {"", std::string(kNoHistoryText) + kHistoryTurnedOffText + "."},
      {(folder_ / "broken.sqlite").string(), kArchiveCannotOpenText},
  };
  for (const auto& c : kCases) {
    boxes_.boxes.clear();
    Start(c.file);
    EXPECT_EQ(History({}).kind, OutcomeKind::Failed) << c.file;
    ASSERT_EQ(boxes_.boxes.size(), 1u) << c.file;
    EXPECT_EQ(boxes_.boxes[0].text, c.text);
    EXPECT_TRUE(shell_.dialogs.empty()) << c.file;
  }
}

TEST_F(HistoryFlowTest, RowsListEverySurveyNewestFirstInItsLocalTime) {
  Keep(samples::MakeRealisticLog(40, 1), "Hill Road", march_);
  Keep(samples::MakeRealisticLog(7, 2), "", march_ + 48h, archive::SurveySource::kImport);
  Start(File());
  std::vector<std::vector<std::string>> cells;
  EXPECT_EQ(History([&](HistoryCommands& history) {
              for (const HistoryRow& row : history.Rows()) {
                cells.push_back({});
                for (const HistoryColumnInfo& column : kHistoryColumns) {
                  cells.back().push_back(CellText(row, column.column));
                }
              }
            }).kind,
            OutcomeKind::Done);
  const std::string day1 = LocalReadTime("2026-03-14T09:26:00Z", archive::UtcOffsetText(march_));
  const std::string day3 =
      LocalReadTime("2026-03-16T09:26:00Z", archive::UtcOffsetText(march_ + 48h));
  EXPECT_EQ(cells, (std::vector<std::vector<std::string>>{
                       {"2", day3, "", "", "7", "yes", "import", "", "local"},
                       {"1", day1, "Hill Road", "", "40", "yes", "read", "", "local"},
                   }));
  EXPECT_EQ(shell_.dialogs, std::vector<std::string>{"history"});
}

TEST_F(HistoryFlowTest, OpenPutsTheSurveyIntoTheLogAsLoadDoesAndTheTitleNamesIt) {
  const LogImage kept = samples::MakeRealisticLog(30, 3);
  const archive::SurveyId id = Keep(kept, "Hill Road", march_);
  Application& app = Start(File());
  std::vector<CommandOutcome> outcomes;
  History([&](HistoryCommands& history) {
    outcomes.push_back(history.Open(id + 1));
    outcomes.push_back(history.Open(id));
  });
  ASSERT_EQ(outcomes.size(), 2u);
  EXPECT_EQ(outcomes[0].kind, OutcomeKind::Failed);
  EXPECT_EQ(boxes_.boxes.at(0).text, "The survey archive has no survey 2.");
  EXPECT_EQ(outcomes[1], (CommandOutcome{OutcomeKind::Done, {}, {}}));
  EXPECT_EQ(app.State().Image.bytes, kept.bytes);
  EXPECT_TRUE(app.State().ImageOrigin.readFromMeter);
  EXPECT_EQ(app.State().ImageOrigin.fileTime, march_);
  EXPECT_EQ(shell_.window->recorded.events, (std::vector<std::string>{"view on", "repaint erase"}));
  EXPECT_EQ(shell_.window->titles, std::vector<std::string>{"Survey 1 - KL-XR Meter - Log"});
  // A file loaded afterwards is no survey: the title is the caption again.
  const std::string file = (folder_ / "other.tlg").string();
  ASSERT_EQ(SaveLogFile(samples::MakeRealisticLog(5, 4), file, boxes_, false), 0);
  shell_.chooserAnswers.push_back(file);
  EXPECT_EQ(app.Command(cmd::kLoad).kind, OutcomeKind::Done);
  EXPECT_EQ(shell_.window->titles.back(), "KL-XR Meter - Log");
  EXPECT_FALSE(app.State().LastSurvey);
}

TEST_F(HistoryFlowTest, AReadThatIsKeptNamesItsSurveyInTheTitle) {
  Application& app = Start(File());
  app.Command(cmd::kRead);
  while (app.State().Link.Download.DownloadRunning) {
    app.TimerTick(cmd::kDownloadTimerId);
  }
  EXPECT_EQ(shell_.window->titles, std::vector<std::string>{"Survey 1 - KL-XR Meter - Log"});
  app.Command(cmd::kRead);
  EXPECT_EQ(shell_.window->titles.back(), "KL-XR Meter - Log");
}

TEST_F(HistoryFlowTest, LabelKeepsTheSiteAndNoteTheUserGives) {
  const struct {
    std::optional<std::pair<std::string, std::string>> answer;
    OutcomeKind kind;
    const char* site;
    const char* note;
  } kCases[] = {
      {std::pair<std::string, std::string>{"  Church Lane 2 ", "after the repair\n"},
       OutcomeKind::Done, "Church Lane 2", "after the repair"},
      {std::nullopt, OutcomeKind::Cancelled, "Hill Road", ""},
      {std::pair<std::string, std::string>{"Stra\xc3\x9f"
                                           "e 5",
                                           ""},
       OutcomeKind::Done,
       "Stra\xc3\x9f"
       "e 5",
       ""},
  };
  Start(File());
  unsigned seed = 1;
  for (const auto& c : kCases) {
    const archive::SurveyId id =
        Keep(samples::MakeRealisticLog(3, seed), "Hill Road", march_ + seed * 1h);
    ++seed;
    view_.label = c.answer;
    view_.asked.clear();
    CommandOutcome outcome;
    History([&](HistoryCommands& history) { outcome = history.Label(id, view_); });
    EXPECT_EQ(outcome.kind, c.kind) << c.site;
    EXPECT_EQ(view_.asked, std::vector<std::string>{"Hill Road|"});
    const archive::SurveySummary survey = Kept().at(0);  // the newest
    EXPECT_EQ(survey.id, id);
    EXPECT_EQ(survey.site, c.site);
    EXPECT_EQ(survey.note, c.note);
  }
}

TEST_F(HistoryFlowTest, ExportWritesTheSurveyInTheFormatChosen) {
  const LogImage kept = samples::MakeRealisticLog(25, 8);
  const archive::SurveyId id = Keep(kept, "Hill Road", march_);
  const SurveyFacts facts{"1", "2026-03-14T09:26:00Z", "Hill Road"};
  const struct {
    HistoryExportFormat format;
    const char* chooser;
    std::string content;
  } kCases[] = {
      {HistoryExportFormat::Tlg, "LogSaveDir .tlg;",
       std::string(kept.bytes.begin(), kept.bytes.end())},
      {HistoryExportFormat::Csv, "KLXRPlusExportDir .csv;", MakeCsvText(kept, 25)},
      {HistoryExportFormat::TidyCsv, "KLXRPlusExportDir .csv;", MakeTidyCsvText(kept, facts)},
      {HistoryExportFormat::Json, "KLXRPlusExportDir .json;", MakeRecordsJsonText(kept, facts)},
  };
  Start(File());
  for (const auto& c : kCases) {
    view_.path = (folder_ / ("out " + std::to_string(static_cast<int>(c.format)))).string();
    view_.choosers.clear();
    CommandOutcome outcome;
    History([&](HistoryCommands& history) { outcome = history.Export(id, c.format, view_); });
    EXPECT_EQ(outcome, (CommandOutcome{OutcomeKind::Done, view_.path, {}}));
    EXPECT_EQ(view_.choosers, std::vector<std::string>{c.chooser});
    EXPECT_EQ(ReadFile(view_.path), c.content) << c.chooser;
  }
  EXPECT_EQ(ReadFile(folder_ / "out 2").substr(0, 29), "survey_id,read_time,site,slot");
  // A file that cannot be made is told, and the outcome says so.
  view_.path = (folder_ / "no such folder" / "out.csv").string();
  CommandOutcome failed;
  History([&](HistoryCommands& history) {
    failed = history.Export(id, HistoryExportFormat::Csv, view_);
  });
  EXPECT_EQ(failed.kind, OutcomeKind::Failed);
  EXPECT_EQ(failed.file, view_.path);
  EXPECT_EQ(boxes_.boxes.back().index, msg::kCantSaveProgramImage);
}

TEST_F(HistoryFlowTest, CompareSetsTheSurveyBesideTheLogNowLoaded) {
  const archive::SurveyId id = Keep(DigitalLog({{482000, "CH22", -400},
                                                {490000, "CH23", -300},
                                                {506000, "CH25", -350},
                                                {514000, "CH26", -200}}),
                                    "Hill Road", march_);
  Application& app = Start(File());
  CommandOutcome nothingLoaded;
  History([&](HistoryCommands& history) { nothingLoaded = history.Compare(id, view_); });
  EXPECT_EQ(nothingLoaded.kind, OutcomeKind::NothingToDo);
  EXPECT_EQ(boxes_.Indexes(), std::vector<int>{msg::kNoLoggingData});
  EXPECT_FALSE(view_.shown);

  app.State().Image = DigitalLog({{482000, "CH22", -420},
                                  {490000, "CH23", -280},
                                  {506000, "CH25", -355},
                                  {530000, "CH28", -100}});
  CommandOutcome compared;
  History([&](HistoryCommands& history) { compared = history.Compare(id, view_); });
  EXPECT_EQ(compared.kind, OutcomeKind::Done);
  ASSERT_TRUE(view_.shown);
  const struct {
    const char* verdict;
    const char* channel;
    const char* megahertz;
    const char* before;
    const char* after;
    const char* change;
  } kRows[] = {
      {"worse", "CH22", "482", "68.75", "66.75", "-2"},
      {"better", "CH23", "490", "78.75", "80.75", "+2"},
      {"unchanged", "CH25", "506", "73.75", "73.25", "-0.5"},
      {"only before", "CH26", "514", "88.75", "", ""},
      {"only after", "CH28", "530", "", "98.75", ""},
  };
  ASSERT_EQ(view_.shown->rows.size(), std::size(kRows));
  for (std::size_t i = 0; i < std::size(kRows); ++i) {
    const auto& row = view_.shown->rows[i];
    EXPECT_EQ((std::vector<std::string>{row[0], row[1], row[2], row[3], row[4], row[5]}),
              (std::vector<std::string>{kRows[i].verdict, kRows[i].channel, kRows[i].megahertz,
                                        kRows[i].before, kRows[i].after, kRows[i].change}))
        << i;
  }
  EXPECT_EQ(view_.shown->summary, "1 better, 1 worse, 1 unchanged; 1 only before, 1 only after");
  EXPECT_EQ(view_.shown->title.rfind("Before: survey 1, read ", 0), 0u);
}

TEST_F(HistoryFlowTest, ForgetRemovesTheSurveyOnlyAfterYes) {
  const archive::SurveyId id = Keep(samples::MakeRealisticLog(3, 1), "Hill Road", march_);
  Start(File());
  boxes_.answers = {Answer::No, Answer::Yes};
  std::vector<CommandOutcome> outcomes;
  std::vector<std::size_t> listed;
  History([&](HistoryCommands& history) {
    history.Open(id);
    outcomes.push_back(history.Forget(id));
    listed.push_back(history.Rows().size());
    outcomes.push_back(history.Forget(id));
    listed.push_back(history.Rows().size());
  });
  EXPECT_EQ(outcomes.at(0).kind, OutcomeKind::Cancelled);
  EXPECT_EQ(outcomes.at(1).kind, OutcomeKind::Done);
  EXPECT_EQ(listed, (std::vector<std::size_t>{1, 0}));
  EXPECT_EQ(boxes_.defaultNo, (std::vector<std::size_t>{0, 1}));
  EXPECT_EQ(boxes_.boxes.at(0).text,
            "Forget survey 1? Its log and records are removed from the survey archive for good.");
  // The title no longer names the survey that is gone.
  EXPECT_EQ(shell_.window->titles,
            (std::vector<std::string>{"Survey 1 - KL-XR Meter - Log", "KL-XR Meter - Log"}));
}

}  // namespace
}  // namespace klxr
