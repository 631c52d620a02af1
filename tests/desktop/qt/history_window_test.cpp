// The "History" window of the Qt shell, driven by its widgets over a real archive in a temporary
// folder, and its place in the File menu of the program's main window.
#include "desktop/qt/history_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>

#include "desktop/application.h"
#include "desktop/history_controls.h"
#include "desktop/qt/file_chooser.h"
#include "desktop/qt/history_dialogs.h"
#include "desktop/qt/qt_shell.h"
#include "samples/sample_logs.h"
#include "support/bus_services.h"
#include "support/fake_desktop_shell.h"
#include "support/recording_message_boxes.h"
#include "ui_test_support.h"
#include "virtual-meter/bus_config.h"
#include "virtual-meter/meter_records.h"
#include "virtual-meter/virtual_bus.h"

namespace klxr {
namespace {

using namespace std::chrono_literals;

void PressKeyEscape(QWidget& widget) {
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&widget, &escape);
}

class HistoryWindowTest : public ::testing::Test {
 protected:
  HistoryWindowTest()
      : bus_(vm::OneMeter(vm::GeneratedRecords(4, 1))),
        app_(shell_, boxes_, testing::BusServices(bus_)) {
    EXPECT_TRUE(app_.Start(""));
    archive_ = std::move(archive::SurveyArchive::Open(folder_.Path("surveys.sqlite")).Value());
    const auto day = std::chrono::sys_days(std::chrono::year(2026) / 3 / 14);
    const struct {
      int records;
      const char* site;
      std::chrono::hours at;
    } kSurveys[] = {{40, "Hill Road", 9h}, {12, "church lane", 30h}, {25, "Mill Street", 60h}};
    for (const auto& survey : kSurveys) {
      archive::SurveyFacts facts;
      facts.seen = day + survey.at;
      facts.site = survey.site;
      archive_->Store(samples::MakeRealisticLog(survey.records, 7), facts);
    }
    flow_ = std::make_unique<HistoryFlow>(app_, *archive_);
    window_ = std::make_unique<HistoryWindow>(*flow_, nullptr);
  }

  // The column of the table as the window shows it, top to bottom.
  QStringList Column(HistoryColumn column) const {
    QStringList texts;
    const QTableWidget& table = window_->Table();
    for (int row = 0; row < table.rowCount(); ++row) {
      texts << table.item(row, static_cast<int>(column))->text();
    }
    return texts;
  }
  bool ActionsEnabled() const {
    return window_->Button(history::kOpen).isEnabled() &&
           window_->Button(history::kLabel).isEnabled() &&
           window_->Button(history::kExport).isEnabled() &&
           window_->Button(history::kCompare).isEnabled() &&
           window_->Button(history::kForget).isEnabled();
  }

  testing::TemporaryFolder folder_;
  vm::VirtualBus bus_;
  testing::FakeDesktopShell shell_;
  testing::RecordingMessageBoxes boxes_;
  Application app_;
  std::unique_ptr<archive::SurveyArchive> archive_;
  std::unique_ptr<HistoryFlow> flow_;
  std::unique_ptr<HistoryWindow> window_;
};

TEST_F(HistoryWindowTest, ListsNewestFirstAndSortsByAClickOnAHeading) {
  EXPECT_EQ(window_->windowTitle(), "History");
  EXPECT_EQ(window_->Table().horizontalHeaderItem(2)->text(), "Site");
  EXPECT_EQ(Column(HistoryColumn::Id), (QStringList{"3", "2", "1"}));
  EXPECT_EQ(window_->Selected(), 3);
  EXPECT_EQ(window_->Status().text(), "3 surveys");
  const struct {
    HistoryColumn clicked;
    QStringList ids;
    Qt::SortOrder indicator;
  } kClicks[] = {
      {HistoryColumn::Site, {"2", "1", "3"}, Qt::AscendingOrder},
      {HistoryColumn::Site, {"3", "1", "2"}, Qt::DescendingOrder},
      {HistoryColumn::Records, {"1", "3", "2"}, Qt::DescendingOrder},
      {HistoryColumn::Date, {"3", "2", "1"}, Qt::DescendingOrder},
      {HistoryColumn::Date, {"1", "2", "3"}, Qt::AscendingOrder},
  };
  for (const auto& click : kClicks) {
    const int section = static_cast<int>(click.clicked);
    emit window_->Table().horizontalHeader()->sectionClicked(section);
    EXPECT_EQ(Column(HistoryColumn::Id), click.ids) << section;
    EXPECT_EQ(window_->Table().horizontalHeader()->sortIndicatorSection(), section);
    EXPECT_EQ(window_->Table().horizontalHeader()->sortIndicatorOrder(), click.indicator);
    EXPECT_EQ(window_->Selected(), 3) << "the selection follows its survey";
  }
}

TEST_F(HistoryWindowTest, ActionsAreGrayedWhileNoSurveyIsSelected) {
  EXPECT_TRUE(ActionsEnabled());
  window_->Table().clearSelection();
  EXPECT_FALSE(window_->Button(history::kOpen).isEnabled());
  EXPECT_FALSE(window_->Button(history::kForget).isEnabled());
  EXPECT_FALSE(window_->ExportFormat().isEnabled());
  EXPECT_TRUE(window_->Button(history::kClose).isEnabled());
  window_->Table().selectRow(1);
  EXPECT_TRUE(ActionsEnabled());
  EXPECT_EQ(window_->Selected(), 2);
}

TEST_F(HistoryWindowTest, OpenLabelAndForgetActOnTheSelectedSurvey) {
  window_->Select(1);
  window_->Button(history::kOpen).click();
  EXPECT_EQ(app_.State().Image.bytes, samples::MakeRealisticLog(40, 7).bytes);
  EXPECT_EQ(window_->Status().text(), "3 surveys; survey 1 opened as the log");

  testing::WhenModalShown([](QWidget* modal) {
    auto* label = qobject_cast<LabelDialog*>(modal);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->SiteField().text(), "Hill Road");
    label->SiteField().setText(
        QString::fromUtf8("Hill Road 4, Stra\xc3\x9f"
                          "e"));
    label->NoteField().setText("after the repair");
    label->accept();
  });
  window_->Button(history::kLabel).click();
  EXPECT_EQ(window_->Table().item(2, static_cast<int>(HistoryColumn::Site))->text(),
            QString::fromUtf8("Hill Road 4, Stra\xc3\x9f"
                              "e"));
  EXPECT_EQ(window_->Table().item(2, static_cast<int>(HistoryColumn::Note))->text(),
            "after the repair");

  boxes_.answers = {Answer::Yes};
  window_->Button(history::kForget).click();
  EXPECT_EQ(Column(HistoryColumn::Id), (QStringList{"3", "2"}));
  EXPECT_EQ(window_->Selected(), 2) << "the row that took its place";
  EXPECT_EQ(window_->Status().text(), "2 surveys; survey 1 forgotten");
}

TEST_F(HistoryWindowTest, EnterOpensTheSurveyAndTabGoesDownTheButtons) {
  window_->show();
  window_->Select(2);
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(&window_->Table(), &enter);
  EXPECT_EQ(app_.State().Image.bytes, samples::MakeRealisticLog(12, 7).bytes);
  QStringList order;  // the widgets Tab stops at, after the table
  for (QWidget* focus = window_->Table().nextInFocusChain(); focus != &window_->Table();
       focus = focus->nextInFocusChain()) {
    if ((focus->focusPolicy() & Qt::TabFocus) != 0 && focus->parentWidget() == window_.get()) {
      order << focus->objectName();
    }
  }
  QStringList expected{"control-1201", "control-1202", "control-1203",
                       "control-1206", "control-1204", "control-1205"};
  if (archive::TeamArchiveAvailable()) {
    expected << "control-1208"
             << "control-1209";  // Push and Pull
  }
  EXPECT_EQ(order, expected << "control-2");
}

TEST_F(HistoryWindowTest, ExportWritesTheFormatChosenBesideIt) {
  window_->ExportFormat().setCurrentIndex(3);
  EXPECT_EQ(window_->ExportFormat().currentText(), "JSON for analysis (.json)");
  const std::string path = folder_.Path("survey three.json");
  testing::WhenModalShown([&path](QWidget* modal) {
    auto* chooser = qobject_cast<FileChooser*>(modal);
    ASSERT_NE(chooser, nullptr);
    chooser->NameField().setText(PathToQString(path));
    chooser->OnOk();
  });
  window_->Button(history::kExport).click();
  QFile written(PathToQString(path));
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_TRUE(written.readAll().startsWith("{"));
  EXPECT_EQ(window_->Status().text(), PathToQString("3 surveys; survey 3 exported to " + path));
}

TEST_F(HistoryWindowTest, CompareShowsTheDifferencesInATableOfItsOwn) {
  app_.State().Image = samples::MakeRealisticLog(25, 7);
  int rows = -1;
  QString summary;
  testing::WhenModalShown([&](QWidget* modal) {
    auto* comparison = qobject_cast<ComparisonDialog*>(modal);
    ASSERT_NE(comparison, nullptr);
    rows = comparison->Table().rowCount();
    summary =
        comparison->findChild<QLabel*>(ControlObjectName(history::kComparisonSummary))->text();
    comparison->findChild<QPushButton*>(ControlObjectName(history::kComparisonClose))->click();
  });
  window_->Button(history::kCompare).click();
  EXPECT_EQ(rows, 25);
  EXPECT_EQ(summary, "0 better, 0 worse, 25 unchanged; 0 only before, 0 only after");
}

TEST_F(HistoryWindowTest, TheWindowAndItsDialogsNameEveryControlTheKeyboardReaches) {
  window_->show();
  EXPECT_EQ(testing::UnnamedControls(*window_), QStringList());
  EXPECT_EQ(testing::UnnamedControls(LabelDialog("Hill Road", "", nullptr)), QStringList());
  app_.State().Image = samples::MakeRealisticLog(25, 7);
  QStringList unnamed{"not shown"};
  testing::WhenModalShown([&](QWidget* modal) {
    unnamed = testing::UnnamedControls(*modal);
    PressKeyEscape(*modal);
  });
  window_->Button(history::kCompare).click();
  EXPECT_EQ(unnamed, QStringList());
}

TEST(HistoryMenuTest, HistoryFollowsThePartsItemsOfTheFileMenuBeforeExit) {
  QtShell shell;
  std::vector<int> commands;
  MainWindowCallbacks callbacks;
  callbacks.command = [&commands](int id) { commands.push_back(id); };
  callbacks.progress = [] { return ProgressView{}; };
  std::unique_ptr<DesktopWindow> window = shell.CreateMainWindow("KL-XR Meter - Log", callbacks);
  auto& main = dynamic_cast<MainWindow&>(*window);
  QStringList items;
  for (QAction* item : main.menuBar()->actions().front()->menu()->actions()) {
    items << (item->isSeparator() ? QStringLiteral("-") : item->text());
  }
  EXPECT_EQ(items, (QStringList{"&Load", "&Save", "Ex&port (.csv)", "&Erase Log", "-",
                                "&History...", "Report (.pdf)...", "-", "E&xit"}));
  main.CommandAction(cmd::kHistory)->trigger();
  EXPECT_EQ(commands, std::vector<int>{cmd::kHistory});
  window->ShowTitle("Survey 12 - KL-XR Meter - Log");
  EXPECT_EQ(main.windowTitle(), "Survey 12 - KL-XR Meter - Log");
}

}  // namespace
}  // namespace klxr
