// The viewer worked with the keyboard alone: closed, and its export reached.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>

#include "desktop/qt/file_chooser.h"
#include "desktop/qt/log_viewer.h"
#include "desktop/qt/remembered_folders.h"
#include "samples/sample_logs.h"
#include "support/recording_message_boxes.h"
#include "ui_test_support.h"

namespace klxr {
namespace {

using testing::RecordingMessageBoxes;
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
};

TEST_F(DialogAccessTest, TheViewerClosesByEnterAndEscapeAndTabReachesExport) {
  bool chooserOpened = false;
  WhenModalShown([&](QWidget* modal) {
    auto* list = FindControl<QListWidget>(*modal, ctl::kViewerList);
    PressKey(*list, Qt::Key_Return);  // Close, the default button
  });
  EXPECT_EQ(RunLogViewer(Context(), nullptr), 1);
  WhenModalShown([&](QWidget* modal) {
    QWidget* next = FindControl<QListWidget>(*modal, ctl::kViewerList)->nextInFocusChain();
    while ((next->focusPolicy() & Qt::TabFocus) == 0) {
      next = next->nextInFocusChain();
    }
    ASSERT_EQ(next, FindControl<QPushButton>(*modal, ctl::kViewerExport));
    WhenModalShown([&](QWidget* chooser) {
      chooserOpened = qobject_cast<FileChooser*>(chooser) != nullptr;
      PressKey(*chooser, Qt::Key_Escape);
    });
    PressKey(*next, Qt::Key_Space);  // opens the chooser for the CSV file
    PressKey(*next, Qt::Key_Escape);
  });
  EXPECT_EQ(RunLogViewer(Context(), nullptr), 2);
  EXPECT_TRUE(chooserOpened);
}

}  // namespace
}  // namespace klxr
