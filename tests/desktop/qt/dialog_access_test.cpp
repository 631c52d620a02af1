// Every dialog read out and worked with the keyboard alone: each control Tab or a click can reach
// has a name, and the viewer is closed and its export reached from the keyboard.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <memory>

#include "desktop/qt/about_box.h"
#include "desktop/qt/device_list_dialog.h"
#include "desktop/qt/file_chooser.h"
#include "desktop/qt/log_viewer.h"
#include "desktop/qt/remembered_folders.h"
#include "samples/sample_logs.h"
#include "support/recording_message_boxes.h"
#include "ui_test_support.h"

namespace klxr {
namespace {

using testing::RecordingMessageBoxes;
using testing::UnnamedControls;
using testing::WhenModalShown;

void PressKey(QWidget& widget, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(&widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(&widget, &release);
}

class DialogAccessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv(kSettingsFileVariable,
            QFile::encodeName(QString::fromStdString(folder_.Path("KLXRPlusData.ini"))));
    image_ = samples::MakeRealisticLog(30, 5);
  }
  void TearDown() override { qunsetenv(kSettingsFileVariable); }

  LogViewerContext Context() { return {image_, request_, boxes_, false}; }

  testing::TemporaryFolder folder_;
  LogImage image_;
  ChooserRequest request_;
  RecordingMessageBoxes boxes_;
  MeterLink link_{image_, boxes_};
};

TEST_F(DialogAccessTest, EveryFocusableControlOfEveryDialogHasAName) {
  const std::unique_ptr<QWidget> dialogs[] = {
      std::make_unique<FileChooser>(request_, boxes_, nullptr),
      std::make_unique<DeviceListDialog>(link_, nullptr),
      std::make_unique<LogViewer>(Context(), nullptr),
      std::make_unique<AboutBox>(nullptr),
  };
  for (const auto& dialog : dialogs) {
    EXPECT_EQ(UnnamedControls(*dialog), QStringList()) << dialog->windowTitle().toStdString();
  }
  auto* viewerList = FindControl<QListWidget>(*dialogs[2], ctl::kViewerList);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(viewerList)->text(QAccessible::Name),
            "Log entries");
}

TEST_F(DialogAccessTest, TheViewerClosesByEnterAndEscapeAndTabReachesExport) {
  const struct {
    int key;
    int result;
  } kCases[] = {{Qt::Key_Return, 1}, {Qt::Key_Escape, 2}};
  for (const auto& c : kCases) {
    WhenModalShown([&](QWidget* modal) {
      PressKey(*FindControl<QListWidget>(*modal, ctl::kViewerList), c.key);
    });
    EXPECT_EQ(RunLogViewer(Context(), nullptr), c.result) << c.key;
  }

  // Tab goes from the list to Export, and Space on it opens the chooser for the CSV file.
  bool chooserOpened = false;
  WhenModalShown([&](QWidget* modal) {
    auto* viewer = qobject_cast<LogViewer*>(modal);
    ASSERT_NE(viewer, nullptr);
    QWidget* next = viewer->List().nextInFocusChain();
    while ((next->focusPolicy() & Qt::TabFocus) == 0) {
      next = next->nextInFocusChain();
    }
    auto* exportButton = FindControl<QPushButton>(*viewer, ctl::kViewerExport);
    ASSERT_EQ(next, exportButton);
    WhenModalShown([&](QWidget* chooser) {
      chooserOpened = qobject_cast<FileChooser*>(chooser) != nullptr;
      PressKey(*chooser, Qt::Key_Escape);
    });
    PressKey(*exportButton, Qt::Key_Space);
    PressKey(*exportButton, Qt::Key_Escape);
  });
  EXPECT_EQ(RunLogViewer(Context(), nullptr), 2);
  EXPECT_TRUE(chooserOpened);
}

}  // namespace
}  // namespace klxr
