// The Qt "History" window with a team archive on the PostgreSQL server of the team_server ctest
// fixture: the Where column, Forget grayed on a team survey, and Pull clicked.
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
#include "virtual-meter/virtual_bus.h"

namespace klxr {
namespace {

// The records and where of each row, sorted.
QStringList Rows(const QTableWidget& table) {
  QStringList rows;
  for (int row = 0; row < table.rowCount(); ++row) {
    rows << table.item(row, static_cast<int>(HistoryColumn::Records))->text() + " " +
                table.item(row, static_cast<int>(HistoryColumn::Where))->text();
  }
  rows.sort();
  return rows;
}

TEST(HistoryTeamWindowTest, PullClickedMakesTheTeamSurveyBoth) {
  testing::TeamTestDatabase team;
  if (!team.Create()) {
    GTEST_SKIP() << "no PostgreSQL server for the team archive (team_server.sh says why)";
  }
  testing::ScratchFolder folder;
  for (const auto& [file, records] : {std::pair{"other.sqlite", 30}, {"mine.sqlite", 10}}) {
    auto archive = archive::SurveyArchive::Open(folder.PathOf(file)).Value();
    ASSERT_TRUE(archive->Store(samples::MakeRealisticLog(records, 5), {}).Ok());
  }
  const std::string writer = team.ConnectionAs("writer");
  ASSERT_TRUE(RunTeamSync({TeamSyncKind::Push, folder.PathOf("other.sqlite"), writer, {}}, {}).ok);
  vm::VirtualBus bus(vm::OneMeter({}));
  testing::FakeDesktopShell shell;
  testing::RecordingMessageBoxes boxes;
  Application app(shell, boxes, testing::BusServices(bus));
  ASSERT_TRUE(app.Start(""));
  auto local = archive::SurveyArchive::Open(folder.PathOf("mine.sqlite")).Value();
  HistoryFlow flow(app, *local, folder.PathOf("mine.sqlite"), {writer, {}});
  HistoryWindow window(flow, nullptr);
  EXPECT_EQ(Rows(window.Table()), (QStringList{"10 local", "30 team"}));
  window.Table().selectRow(window.Table().item(0, 0)->text().startsWith('T') ? 0 : 1);
  EXPECT_TRUE(window.Button(history::kOpen).isEnabled());
  EXPECT_FALSE(window.Button(history::kForget).isEnabled());
  ASSERT_TRUE(window.Button(history::kPull).isEnabled());
  window.Button(history::kPull).click();
  EXPECT_EQ(Rows(window.Table()), (QStringList{"10 local", "30 both"}));
  EXPECT_EQ(window.Status().text(), "2 surveys; 1 survey pulled, 0 already there, 0 labels");
  EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace
}  // namespace klxr
