// The File menu's shortcuts and its "Report (.pdf)..." item in the running program.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <vector>

#include "app_test_support.h"
#include "desktop/qt/file_chooser.h"
#include "desktop/qt/main_window.h"
#include "resources/command_ids.h"
#include "samples/sample_logs.h"

namespace klxr {
namespace {

TEST(ShortcutTest, EachShortcutSendsItsCommandAndIsShownBesideItsItem) {
  std::vector<int> commands;
  MainWindowCallbacks callbacks;
  callbacks.command = [&commands](int id) { commands.push_back(id); };
  callbacks.progress = [] { return ProgressView{}; };
  MainWindow window("KL-XR Meter - Log", callbacks);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  const struct {
    Qt::Key key;
    int command;
    const char* shown;
  } kCases[] = {
      {Qt::Key_O, cmd::kLoad, "Ctrl+O"},   {Qt::Key_S, cmd::kSave, "Ctrl+S"},
      {Qt::Key_E, cmd::kExport, "Ctrl+E"}, {Qt::Key_R, cmd::kRead, "Ctrl+R"},
      {Qt::Key_Q, cmd::kExit, "Ctrl+Q"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.shown);
    commands.clear();
    QTest::keyClick(&window, c.key, Qt::ControlModifier);
    EXPECT_EQ(commands, std::vector<int>{c.command});
    EXPECT_EQ(window.CommandAction(c.command)->shortcut().toString(QKeySequence::PortableText),
              c.shown);
  }
  // Neither the letter alone, nor Ctrl with another letter, nor Ctrl with "?" gives a command;
  // Alt+"?" still opens the About box.
  commands.clear();
  QTest::keyClick(&window, Qt::Key_O);
  QTest::keyClick(&window, Qt::Key_V, Qt::ControlModifier);
  QTest::keyClick(&window, Qt::Key_Question, Qt::ControlModifier | Qt::AltModifier);
  QTest::keyClick(&window, Qt::Key_Question, Qt::AltModifier);
  EXPECT_EQ(commands, std::vector<int>{cmd::kAbout});
}

class ReportMenuTest : public testing::AppTest {};

TEST_F(ReportMenuTest, ReportFollowsHistoryAndWritesThePdfWhereTheChooserSays) {
  StartWithMeter();
  QStringList items;
  for (QAction* item : Window().menuBar()->actions().front()->menu()->actions()) {
    items << item->text();
  }
  const qsizetype history = items.indexOf("&History...");
  ASSERT_GE(history, 0);
  EXPECT_EQ(items.value(history + 1), "Report (.pdf)...");

  folder_.MakeFolder("reports");
  WriteRememberedFolder(folder_.Path("reports"), kExportDir, boxes_);
  State().Image = samples::MakeRealisticLog(12, 3);
  testing::WhenModalShown([](QWidget* modal) {
    auto* chooser = qobject_cast<FileChooser*>(modal);
    ASSERT_NE(chooser, nullptr);
    chooser->NameField().setText("from-menu");
    chooser->OnOk();
  });
  Window().CommandAction(cmd::kReport)->trigger();
  QFile pdf(QString::fromStdString(folder_.Path("reports/from-menu.pdf")));
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  EXPECT_EQ(pdf.read(5), "%PDF-");
  EXPECT_TRUE(boxes_.boxes.empty());
}

}  // namespace
}  // namespace klxr
