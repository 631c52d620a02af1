// The "History" window's team archive against the PostgreSQL server of the team_server ctest
// fixture: where each row's survey lives as pushes and pulls run, a Cancel between surveys, a role
// that may only read, a team survey opened, and a server that cannot be reached.
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
#include "virtual-meter/virtual_bus.h"

namespace klxr {
namespace {

constexpr HistoryPlace L = HistoryPlace::Local, T = HistoryPlace::Team, B = HistoryPlace::Both;
using Places = std::vector<std::pair<int, HistoryPlace>>;  // records, where; by records

class HistoryTeamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!team_.Create()) {
      GTEST_SKIP() << "no PostgreSQL server for the team archive (team_server.sh says why)";
    }
    ASSERT_TRUE(app_.Start(""));
  }
  void Keep(const std::string& name, std::vector<int> counts) {
    auto archive = archive::SurveyArchive::Open(folder_.PathOf(name)).Value();
    for (int count : counts) {  // the more records, the newer: pushed first
      archive::SurveyFacts facts;
      facts.seen = std::chrono::system_clock::from_time_t(1700000000 + 86400 * count);
      ASSERT_TRUE(archive->Store(samples::MakeRealisticLog(count, 5), facts).Ok());
    }
  }
  std::string Sync(TeamSyncKind kind, const std::string& name, const std::string& role, int stop) {
    const TeamSyncJob job{kind, folder_.PathOf(name), team_.ConnectionAs(role), {}};
    return TeamSyncText(kind, RunTeamSync(job, [stop](int done, int) { return done != stop; }));
  }
  Places Rows(const std::string& connection) {
    archive_ = archive::SurveyArchive::Open(folder_.PathOf("mine.sqlite")).Value();
    flow_ = std::make_unique<HistoryFlow>(app_, *archive_, "", TeamArchiveChoice{connection, {}});
    std::vector<HistoryRow> rows = flow_->Rows();
    SortRows(rows, HistoryColumn::Records, true);
    Places places;
    for (const HistoryRow& row : rows) {
      places.emplace_back(row.survey.recordCount, row.where);
    }
    return places;
  }

  testing::ScratchFolder folder_;
  testing::TeamTestDatabase team_;
  vm::VirtualBus bus_{vm::OneMeter({})};
  testing::FakeDesktopShell shell_;
  testing::RecordingMessageBoxes boxes_;
  Application app_{shell_, boxes_, testing::BusServices(bus_)};
  std::unique_ptr<archive::SurveyArchive> archive_;
  std::unique_ptr<HistoryFlow> flow_;
};

TEST_F(HistoryTeamTest, PushAndPullMakeRowsBothAndACancelStopsBetweenSurveys) {
  Keep("other.sqlite", {20, 30});
  Sync(TeamSyncKind::Push, "other.sqlite", "writer", -1);
  Keep("mine.sqlite", {10, 20, 40});
  const struct {
    TeamSyncKind kind;
    const char* role;
    int stop;  // the progress function says stop at this many surveys done
    std::string text;
    Places places;
  } kSteps[] = {
      {TeamSyncKind::Pull,
       "writer",
       0,
       "0 surveys pulled, 1 already there, 0 labels; stopped",
       {{10, L}, {20, B}, {30, T}, {40, L}}},
      {TeamSyncKind::Push,
       "reader",
       -1,
       "Push failed: the team archive lets the role 'reader' read",
       {{10, L}, {20, B}, {30, T}, {40, L}}},
      {TeamSyncKind::Push,
       "writer",
       1,
       "1 survey pushed, 1 already there, 0 labels; stopped",
       {{10, L}, {20, B}, {30, T}, {40, B}}},
      {TeamSyncKind::Pull,
       "writer",
       -1,
       "1 survey pulled, 2 already there, 0 labels",
       {{10, L}, {20, B}, {30, B}, {40, B}}},
  };
  EXPECT_EQ(Rows(team_.ConnectionAs("writer")), kSteps[0].places);
  for (const auto& step : kSteps) {
    const std::string text = Sync(step.kind, "mine.sqlite", step.role, step.stop);
    EXPECT_EQ(text.rfind(step.text, 0), 0u) << text;
    EXPECT_EQ(Rows(team_.ConnectionAs("writer")), step.places) << step.text;
    EXPECT_EQ(flow_->TeamNote(), "");
  }
}

TEST_F(HistoryTeamTest, ATeamSurveyOpensFromTheTeamButIsNotForgotten) {
  Keep("other.sqlite", {30});
  Sync(TeamSyncKind::Push, "other.sqlite", "writer", -1);
  ASSERT_EQ(Rows(team_.ConnectionAs("reader")), (Places{{30, T}}));
  const HistoryRow row = flow_->Rows().at(0);
  EXPECT_EQ(CellText(row, HistoryColumn::Id), "T" + std::to_string(row.teamId));
  EXPECT_EQ(flow_->Open(row.survey.id).kind, OutcomeKind::Done);
  EXPECT_EQ(app_.State().Image.bytes, samples::MakeRealisticLog(30, 5).bytes);
  EXPECT_FALSE(app_.State().LastSurvey);
  EXPECT_EQ(flow_->Forget(row.survey.id).kind, OutcomeKind::Failed);
}

TEST_F(HistoryTeamTest, AServerThatCannotBeReachedLeavesTheLocalRowsAndSaysWhy) {
  Keep("mine.sqlite", {10});
  EXPECT_EQ(Rows("host=" + folder_.PathOf("none") + " dbname=team"), (Places{{10, L}}));
  EXPECT_EQ(flow_->TeamNote().rfind("The team's surveys are not shown: ", 0), 0u);
  const struct {
    std::optional<std::string> setting;
    const char* environment;
    std::string connection;
  } kChoices[] = {{std::nullopt, "host=team", "host=team"},
                  {"", "host=team", "host=team"},
                  {"host=office", "host=team", "host=office"},
                  {"host=office password=secret", "host=team", ""}};
  for (const auto& c : kChoices) {
    EXPECT_EQ(ChooseTeamArchive(c.setting, c.environment).connection, c.connection);
  }
  EXPECT_NE(ChooseTeamArchive("host=office password=x", nullptr).problem, "");
  const std::pair<std::string, std::string> kTimeouts[] = {
      {"host=a", "host=a connect_timeout=10"},
      {"host=a connect_timeout=3", "host=a connect_timeout=3"},
      {"postgresql://a/db", "postgresql://a/db?connect_timeout=10"},
      {"postgres://a/db?sslmode=require", "postgres://a/db?sslmode=require&connect_timeout=10"}};
  for (const auto& [given, used] : kTimeouts) {
    EXPECT_EQ(WithConnectTimeout(given, 10), used);
  }
}

}  // namespace
}  // namespace klxr
