#include "desktop/qt/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <vector>

#include "desktop/qt/app_icon.h"
#include "resources/command_ids.h"

namespace klxr {
namespace {

// A main window whose commands are recorded and whose bar shows `progress`.
class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : window_("KL-XR Meter - Log", Callbacks()) {}

  MainWindowCallbacks Callbacks() {
    MainWindowCallbacks callbacks;
    callbacks.command = [this](int id) { commands_.push_back(id); };
    callbacks.timerTick = [this](int id) { ticks_.push_back(id); };
    callbacks.destroyed = [this] { ++destroyed_; };
    callbacks.progress = [this] { return progress_; };
    return callbacks;
  }

  QImage ClientImage() { return window_.ClientArea().grab().toImage(); }

  std::vector<int> commands_;
  std::vector<int> ticks_;
  int destroyed_ = 0;
  ProgressView progress_;
  MainWindow window_;
};

// Menu texts, "|" between the items of a pop-up, "-" for a separator.
QString Describe(const QMenuBar& bar) {
  QStringList entries;
  for (QAction* action : bar.actions()) {
    QString entry = action->text();
    if (QMenu* popup = action->menu()) {
      QStringList items;
      for (QAction* item : popup->actions()) {
        items << (item->isSeparator() ? QStringLiteral("-") : item->text());
      }
      entry += "[" + items.join("|") + "]";
    }
    entries << entry;
  }
  return entries.join(" ");
}

TEST_F(MainWindowTest, HasTheMenuOfTheTableInOrderWithViewGrayed) {
  EXPECT_EQ(Describe(*window_.menuBar()),
            "&File[&Load|&Save|Ex&port (.csv)|&Erase Log|-|E&xit] &Read &View "
            "&Help[&About ...|Version]");
  for (const int id : {cmd::kLoad, cmd::kSave, cmd::kExport, cmd::kEraseLog, cmd::kExit, cmd::kRead,
                       cmd::kAbout, cmd::kVersion}) {
    ASSERT_NE(window_.CommandAction(id), nullptr) << id;
    EXPECT_TRUE(window_.CommandAction(id)->isEnabled()) << id;
  }
  EXPECT_FALSE(window_.CommandAction(cmd::kView)->isEnabled());
  EXPECT_EQ(window_.CommandAction(12345), nullptr);
}

TEST_F(MainWindowTest, EachMenuActionSendsItsCommandId) {
  const std::vector<int> ids{cmd::kLoad, cmd::kSave, cmd::kExport, cmd::kEraseLog, cmd::kExit,
                             cmd::kRead, cmd::kView, cmd::kAbout,  cmd::kVersion};
  window_.SetViewEnabled(true);
  for (const int id : ids) {
    window_.CommandAction(id)->trigger();
  }
  EXPECT_EQ(commands_, ids);
}

TEST_F(MainWindowTest, ViewIsEnabledAndGrayedForTheConversations) {
  window_.SetViewEnabled(true);
  EXPECT_TRUE(window_.CommandAction(cmd::kView)->isEnabled());
  window_.SetViewEnabled(false);
  EXPECT_FALSE(window_.CommandAction(cmd::kView)->isEnabled());
}

TEST_F(MainWindowTest, IsAFixedWindowOfTheOuterSizeWithTitleIconAndCloseBoxOnly) {
  window_.show();
  QApplication::processEvents();
  EXPECT_EQ(window_.windowTitle(), "KL-XR Meter - Log");
  EXPECT_EQ(window_.frameGeometry().size(), kMainWindowOuterSize);
  EXPECT_EQ(window_.minimumSize(), window_.maximumSize());
  const Qt::WindowFlags flags = window_.windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_GE(window_.ClientArea().height(), kMinimumClientHeight);
  EXPECT_EQ(window_.ClientArea().y(), window_.menuBar()->height());
}

TEST(MainWindowSizeTest, KeepsTheOuterSizeUnlessTheBarWouldNotFit) {
  // No frame: the whole 230 x 90 is the window's own.
  EXPECT_EQ(MainWindow::InnerSizeFor({0, 0}, 22), QSize(230, 90));
  // A usual frame: borders of 3 and a title bar of 23.
  EXPECT_EQ(MainWindow::InnerSizeFor({6, 26}, 20), QSize(224, 64));
  // A frame so tall that the bar would be cut: just tall enough for it.
  EXPECT_EQ(MainWindow::InnerSizeFor({2, 40}, 25), QSize(228, 25 + kMinimumClientHeight));
}

TEST(AppIconTest, IsThe32By32Icon135WithItsSixteenColours) {
  const QIcon icon = AppIcon();
  ASSERT_FALSE(icon.isNull());
  const QImage image(kAppIconPath);
  EXPECT_EQ(image.size(), QSize(32, 32));
  EXPECT_EQ(image.colorCount(), 16);
  EXPECT_FALSE(icon.pixmap(32, 32).isNull());
}

TEST_F(MainWindowTest, CarriesTheIcon) {
  EXPECT_FALSE(window_.windowIcon().isNull());
  EXPECT_EQ(window_.windowIcon().pixmap(32, 32).toImage().pixelColor(8, 20),
            AppIcon().pixmap(32, 32).toImage().pixelColor(8, 20));
}

struct KeyCase {
  int key;
  Qt::KeyboardModifiers modifiers;
  int command;
};

TEST(AcceleratorTest, AltWithQuestionMarkOrSlashGivesAbout) {
  const std::vector<KeyCase> cases{
      {Qt::Key_Question, Qt::AltModifier, cmd::kAbout},
      {Qt::Key_Slash, Qt::AltModifier, cmd::kAbout},
      // Shift is how "?" is typed on many keyboards.
      {Qt::Key_Question, Qt::AltModifier | Qt::ShiftModifier, cmd::kAbout},
      {Qt::Key_Slash, Qt::AltModifier | Qt::ShiftModifier, cmd::kAbout},
      {Qt::Key_Question, Qt::NoModifier, 0},
      {Qt::Key_Slash, Qt::ShiftModifier, 0},
      {Qt::Key_Question, Qt::AltModifier | Qt::ControlModifier, 0},
      {Qt::Key_A, Qt::AltModifier, 0},
      {Qt::Key_Backslash, Qt::AltModifier, 0},
  };
  for (const KeyCase& c : cases) {
    EXPECT_EQ(AcceleratorCommand(kMainAccelerators, c.key, c.modifiers), c.command)
        << c.key << " " << c.modifiers.toInt();
  }
}

TEST_F(MainWindowTest, AcceleratorKeysTypedInTheWindowSendAbout) {
  QKeyEvent question(QEvent::KeyPress, Qt::Key_Question, Qt::AltModifier | Qt::ShiftModifier, "?");
  QKeyEvent slash(QEvent::KeyPress, Qt::Key_Slash, Qt::AltModifier, "/");
  QKeyEvent plain(QEvent::KeyPress, Qt::Key_Slash, Qt::NoModifier, "/");
  QApplication::sendEvent(&window_, &question);
  QApplication::sendEvent(&window_, &slash);
  QApplication::sendEvent(&window_, &plain);
  EXPECT_EQ(commands_, (std::vector<int>{cmd::kAbout, cmd::kAbout}));
}

TEST_F(MainWindowTest, TimersTickByTheirOwnIdUntilKilled) {
  window_.StartTimer(cmd::kDownloadTimerId, 1);
  window_.StartTimer(77, 1);
  EXPECT_TRUE(window_.IsTimerRunning(cmd::kDownloadTimerId));
  while (ticks_.size() < 6) {
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  EXPECT_NE(std::count(ticks_.begin(), ticks_.end(), cmd::kDownloadTimerId), 0);
  EXPECT_TRUE(window_.KillTimer(cmd::kDownloadTimerId));
  EXPECT_FALSE(window_.KillTimer(cmd::kDownloadTimerId));
  EXPECT_FALSE(window_.KillTimer(4242));
  EXPECT_FALSE(window_.IsTimerRunning(cmd::kDownloadTimerId));
  EXPECT_TRUE(window_.KillTimer(77));
}

TEST_F(MainWindowTest, ClosingTellsTheOwner) {
  window_.show();
  window_.close();
  EXPECT_EQ(destroyed_, 1);
}

}  // namespace
}  // namespace klxr
