// The "History" window's team archive, against a real PostgreSQL server that the test command
// started (the team_server ctest fixture): where each row's survey lives, push and pull moving
// surveys between the two archives, a Cancel between surveys, a role that may only read, a server
// that cannot be reached, and which connection string the window takes.
#include <gtest/gtest.h>

#include "desktop/application.h"
#include "desktop/history_flow.h"
#include "samples/sample_logs.h"
#include "support/bus_services.h"
#include "support/fake_desktop_shell.h"
#include "support/recording_message_boxes.h"
#include "support/scratch_folder.h"
#include "support/team_test_database.h"
#include "virtual-meter/bus_config.h"
#include "virtual-meter/meter_records.h"
#include "virtual-meter/virtual_bus.h"

namespace klxr {
namespace {

using Places = std::vector<std::pair<int, HistoryPlace>>;  // records, where

class HistoryTeamTest : public ::testing::Test {
 protected:
  HistoryTeamTest()
      : bus_(vm::OneMeter(vm::GeneratedRecords(4, 1))),
        app_(shell_, boxes_, testing::BusServices(bus_)) {
    EXPECT_TRUE(app_.Start(""));
  }
  void SetUp() override {
    if (!team_.Create()) {
      GTEST_SKIP() << "no PostgreSQL server for the team archive (team_server.sh says why)";
    }
  }

  std::string File(const std::string& name) const { return folder_.PathOf(name); }
  // Keeps logs of these record counts in the archive file, a day apart.
  void Keep(const std::string& name, std::vector<int> counts) {
    auto archive = archive::SurveyArchive::Open(File(name)).Value();
    for (int count : counts) {
      archive::SurveyFacts facts;
      facts.seen = std::chrono::system_clock::from_time_t(1700000000 + 86400 * count);
      ASSERT_TRUE(archive->Store(samples::MakeRealisticLog(count, 5), facts).Ok());
    }
  }
  TeamSyncResult Sync(TeamSyncKind kind, const std::string& name,
                      const std::string& role = "writer", int stopAfter = -1) {
    const TeamSyncJob job{kind, File(name), team_.ConnectionAs(role), {}};
    return RunTeamSync(job,
                       [stopAfter](int done, int) { return stopAfter < 0 || done < stopAfter; });
  }
  // The rows of the window over the archive file, sorted by their record counts.
  Places Rows(const std::string& name, std::string connection = "") {
    auto archive = archive::SurveyArchive::Open(File(name)).Value();
    HistoryFlow flow(app_, *archive, File(name),
                     {connection.empty() ? team_.ConnectionAs("writer") : connection, {}});
    std::vector<HistoryRow> rows = flow.Rows();
    note_ = flow.TeamNote();
    SortRows(rows, HistoryColumn::Records, true);
    Places places;
    for (const HistoryRow& row : rows) {
      places.emplace_back(row.survey.recordCount, row.where);
    }
    return places;
  }

  testing::ScratchFolder folder_;
  testing::TeamTestDatabase team_;
  vm::VirtualBus bus_;
  testing::FakeDesktopShell shell_;
  testing::RecordingMessageBoxes boxes_;
  Application app_;
  std::string note_;
};

constexpr HistoryPlace kLocal = HistoryPlace::Local;
constexpr HistoryPlace kTeam = HistoryPlace::Team;
constexpr HistoryPlace kBoth = HistoryPlace::Both;

TEST_F(HistoryTeamTest, RowsSayWhereEachSurveyLivesAndPushAndPullMakeThemBoth) {
  Keep("other.sqlite", {20, 30});
  ASSERT_TRUE(Sync(TeamSyncKind::Push, "other.sqlite").ok);
  Keep("mine.sqlite", {10, 20});
  const struct {
    TeamSyncKind kind;
    int stopAfter;
    std::string text;
    Places places;
  } kSteps[] = {
      {TeamSyncKind::Pull,
       0,
       "0 surveys pulled, 1 already there, 0 labels; stopped",
       {{10, kLocal}, {20, kBoth}, {30, kTeam}}},
      {TeamSyncKind::Push,
       -1,
       "1 survey pushed, 1 already there, 0 labels",
       {{10, kBoth}, {20, kBoth}, {30, kTeam}}},
      {TeamSyncKind::Pull,
       -1,
       "1 survey pulled, 2 already there, 0 labels",
       {{10, kBoth}, {20, kBoth}, {30, kBoth}}},
  };
  EXPECT_EQ(Rows("mine.sqlite"), (Places{{10, kLocal}, {20, kBoth}, {30, kTeam}}));
  EXPECT_EQ(note_, "");
  for (const auto& step : kSteps) {
    const TeamSyncResult result = Sync(step.kind, "mine.sqlite", "writer", step.stopAfter);
    EXPECT_EQ(TeamSyncText(step.kind, result).rfind(step.text, 0), 0u)
        << TeamSyncText(step.kind, result);
    EXPECT_EQ(Rows("mine.sqlite"), step.places) << step.text;
  }
}

TEST_F(HistoryTeamTest, ACancelStopsBetweenSurveysAndAReaderIsToldWhyItCannotPush) {
  Keep("mine.sqlite", {10, 20, 30});
  const TeamSyncResult denied = Sync(TeamSyncKind::Push, "mine.sqlite", "reader");
  EXPECT_FALSE(denied.ok);
  EXPECT_NE(TeamSyncText(TeamSyncKind::Push, denied).find("read but not push"), std::string::npos)
      << denied.problem;
  const TeamSyncResult stopped = Sync(TeamSyncKind::Push, "mine.sqlite", "writer", 1);
  EXPECT_EQ(TeamSyncText(TeamSyncKind::Push, stopped),
            "1 survey pushed, 0 already there, 0 labels; stopped, the surveys moved so far stay");
  int places[3] = {};
  for (const auto& [records, where] : Rows("mine.sqlite")) {
    ++places[static_cast<int>(where)];
  }
  EXPECT_EQ(places[static_cast<int>(kBoth)], 1);
  EXPECT_EQ(places[static_cast<int>(kLocal)], 2);
}

TEST_F(HistoryTeamTest, ATeamSurveyOpensFromTheTeamButIsNeitherLabelledNorForgotten) {
  Keep("other.sqlite", {30});
  ASSERT_TRUE(Sync(TeamSyncKind::Push, "other.sqlite").ok);
  auto archive = archive::SurveyArchive::Open(File("mine.sqlite")).Value();
  HistoryFlow flow(app_, *archive, File("mine.sqlite"), {team_.ConnectionAs("reader"), {}});
  const std::vector<HistoryRow> rows = flow.Rows();
  ASSERT_EQ(rows.size(), 1u);
  const archive::SurveyId id = rows[0].survey.id;
  EXPECT_TRUE(IsTeamOnly(id));
  EXPECT_EQ(CellText(rows[0], HistoryColumn::Id), "T" + std::to_string(rows[0].teamId));
  EXPECT_EQ(flow.Open(id).kind, OutcomeKind::Done);
  EXPECT_EQ(app_.State().Image.bytes, samples::MakeRealisticLog(30, 5).bytes);
  EXPECT_FALSE(app_.State().LastSurvey);
  struct NoView : HistoryView {
    bool AskLabel(std::string&, std::string&) override { return true; }
    bool ChooseFile(ChooserRequest&, const ChooserCommand&, MessageBoxes&) override {
      return false;
    }
    void ShowComparison(const ComparisonTable&) override {}
  } view;
  EXPECT_EQ(flow.Label(id, view).kind, OutcomeKind::Failed);
  EXPECT_EQ(flow.Forget(id).kind, OutcomeKind::Failed);
  EXPECT_EQ(flow.Rows().size(), 1u);
}

TEST_F(HistoryTeamTest, AServerThatCannotBeReachedLeavesTheLocalRowsAndSaysWhy) {
  Keep("mine.sqlite", {10});
  EXPECT_EQ(Rows("mine.sqlite", "host=" + File("no-server") + " dbname=team"),
            (Places{{10, kLocal}}));
  EXPECT_EQ(note_.rfind("The team's surveys are not shown: ", 0), 0u) << note_;
}

TEST(ChooseTeamArchiveTest, TheSettingWinsAndAPasswordIsRefused) {
  const struct {
    std::optional<std::string> setting;
    const char* environment;
    std::string connection;
    bool problem;
  } kCases[] = {
      {std::nullopt, nullptr, "", false},
      {std::nullopt, "host=team dbname=surveys", "host=team dbname=surveys", false},
      {"", "host=team", "host=team", false},
      {"host=office", "host=team", "host=office", false},
      {"host=office password=secret", "host=team", "", true},
      {"host=office unknown_option=1", nullptr, "", true},
  };
  for (const auto& c : kCases) {
    const TeamArchiveChoice choice = ChooseTeamArchive(c.setting, c.environment);
    EXPECT_EQ(choice.connection, c.connection) << c.setting.value_or("-");
    EXPECT_EQ(!choice.problem.empty(), c.problem) << c.setting.value_or("-");
  }
}

}  // namespace
}  // namespace klxr
