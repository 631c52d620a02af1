// The Qt "History" window with a team archive on the PostgreSQL server of the team_server ctest
// fixture: the Where column, Label and Forget grayed on a team survey, Pull clicked and the rows
// that follow, the buttons without a team archive, and a server that cannot be reached.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include "desktop/application.h"
#include "desktop/history_controls.h"
#include "desktop/qt/history_window.h"
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

class HistoryTeamWindowTest : public ::testing::Test {
 protected:
  HistoryTeamWindowTest()
      : bus_(vm::OneMeter(vm::GeneratedRecords(4, 1))),
        app_(shell_, boxes_, testing::BusServices(bus_)) {
    EXPECT_TRUE(app_.Start(""));
  }
  void SetUp() override {
    if (!team_.Create()) {
      GTEST_SKIP() << "no PostgreSQL server for the team archive (team_server.sh says why)";
    }
    // The team has a survey of 30 records that this computer lacks; this one has 10 of its own.
    auto other = archive::SurveyArchive::Open(folder_.PathOf("other.sqlite")).Value();
    ASSERT_TRUE(other->Store(samples::MakeRealisticLog(30, 5), archive::SurveyFacts{}).Ok());
    ASSERT_TRUE(
        RunTeamSync(
            {TeamSyncKind::Push, folder_.PathOf("other.sqlite"), team_.ConnectionAs("writer"), {}},
            nullptr)
            .ok);
    local_ = archive::SurveyArchive::Open(folder_.PathOf("mine.sqlite")).Value();
    ASSERT_TRUE(local_->Store(samples::MakeRealisticLog(10, 6), archive::SurveyFacts{}).Ok());
  }
  HistoryWindow& Open(TeamArchiveChoice team) {
    window_.reset();
    flow_ = std::make_unique<HistoryFlow>(app_, *local_, folder_.PathOf("mine.sqlite"),
                                          std::move(team));
    window_ = std::make_unique<HistoryWindow>(*flow_, nullptr);
    return *window_;
  }
  // Each row's record count and where it lives, top to bottom.
  QStringList Rows() const {
    QStringList rows;
    const QTableWidget& table = window_->Table();
    for (int row = 0; row < table.rowCount(); ++row) {
      rows << table.item(row, static_cast<int>(HistoryColumn::Records))->text() + " " +
                  table.item(row, static_cast<int>(HistoryColumn::Where))->text();
    }
    rows.sort();
    return rows;
  }

  testing::ScratchFolder folder_;
  testing::TeamTestDatabase team_;
  vm::VirtualBus bus_;
  testing::FakeDesktopShell shell_;
  testing::RecordingMessageBoxes boxes_;
  Application app_;
  std::unique_ptr<archive::SurveyArchive> local_;
  std::unique_ptr<HistoryFlow> flow_;
  std::unique_ptr<HistoryWindow> window_;
};

TEST_F(HistoryTeamWindowTest, PullClickedMakesTheTeamSurveyBoth) {
  HistoryWindow& window = Open({team_.ConnectionAs("writer"), {}});
  EXPECT_EQ(Rows(), (QStringList{"10 local", "30 team"}));
  const struct {
    bool teamOnly;
    bool labelAndForget;
  } kSelections[] = {{true, false}, {false, true}};
  for (const auto& selection : kSelections) {
    for (const HistoryRow& row : flow_->Rows()) {
      if (IsTeamOnly(row.survey.id) == selection.teamOnly) {
        ASSERT_TRUE(window.Select(row.survey.id));
      }
    }
    EXPECT_TRUE(window.Button(history::kOpen).isEnabled());
    EXPECT_EQ(window.Button(history::kLabel).isEnabled(), selection.labelAndForget);
    EXPECT_EQ(window.Button(history::kForget).isEnabled(), selection.labelAndForget);
  }
  ASSERT_TRUE(window.Button(history::kPull).isEnabled());
  window.Button(history::kPull).click();
  EXPECT_EQ(Rows(), (QStringList{"10 local", "30 both"}));
  EXPECT_EQ(window.Status().text(), "2 surveys; 1 survey pulled, 0 already there, 0 labels");
  window.Button(history::kPush).click();
  EXPECT_EQ(Rows(), (QStringList{"10 both", "30 both"}));
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(HistoryTeamWindowTest, WithoutATeamArchiveTheRowsAreLocalAndAnUnreachableOneIsSaid) {
  const struct {
    std::string connection;
    bool syncs;
    QString status;
  } kCases[] = {
      {"", false, "1 survey"},
      {"host=" + folder_.PathOf("no-server") + " dbname=team", true,
       "1 survey\nThe team's surveys are not shown: "},
  };
  for (const auto& c : kCases) {
    HistoryWindow& window = Open({c.connection, {}});
    EXPECT_EQ(Rows(), QStringList{"10 local"});
    EXPECT_TRUE(window.Status().text().startsWith(c.status))
        << window.Status().text().toStdString();
    EXPECT_EQ(window.Button(history::kPull).isEnabled(), c.syncs);
    EXPECT_EQ(window.Button(history::kPush).toolTip().contains("KLXR_TEAM_ARCHIVE"), !c.syncs);
  }
}

}  // namespace
}  // namespace klxr
