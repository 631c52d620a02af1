// The log viewer's context menu and the report it saves.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>

#include "desktop/qt/file_chooser.h"
#include "desktop/qt/log_time.h"
#include "desktop/qt/log_viewer.h"
#include "desktop/qt/remembered_folders.h"
#include "report/pdf_tools.h"
#include "samples/sample_logs.h"
#include "support/recording_message_boxes.h"
#include "ui_test_support.h"

namespace klxr {
namespace {

using testing::RecordingMessageBoxes;
using testing::WhenModalShown;

class LogViewerReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv(kSettingsFileVariable, QFile::encodeName(Q(folder_.Path("KLXRPlusData.ini"))));
    folder_.MakeFolder("exports");
    WriteRememberedFolder(folder_.Path("exports"), kExportDir, boxes_);
    image_ = samples::MakeRealisticLog(30, 4);
  }
  void TearDown() override {
    QApplication::closeAllWindows();
    qunsetenv(kSettingsFileVariable);
  }

  LogViewerContext Context() { return {image_, request_, boxes_, false}; }
  static QString Q(const std::string& text) { return QString::fromStdString(text); }

  std::string ReadFile(const QString& name) const {
    QFile file(Q(folder_.Path(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
  }

  testing::TemporaryFolder folder_;
  LogImage image_;
  ChooserRequest request_;
  RecordingMessageBoxes boxes_;
};

TEST_F(LogViewerReportTest, RightClickAndTheMenuKeyOpenTheMenuWithCopyAndTheReport) {
  LogViewer viewer(Context(), nullptr);
  viewer.show();
  ASSERT_EQ(viewer.ListMenu().actions().size(), 2);
  EXPECT_EQ(viewer.ListMenu().actions().front(), &viewer.CopyAction());
  EXPECT_EQ(viewer.CopyAction().text(), "Copy");
  EXPECT_EQ(viewer.CopyAction().shortcut(), QKeySequence(QKeySequence::Copy));
  EXPECT_EQ(viewer.ListMenu().actions().back(), &viewer.SaveReportAction());
  EXPECT_EQ(viewer.SaveReportAction().text(), "Report (.pdf)...");

  QListWidget& list = viewer.List();
  const QPoint inside = list.visualItemRect(list.item(2)).center();
  QContextMenuEvent rightClick(QContextMenuEvent::Mouse, inside,
                               list.viewport()->mapToGlobal(inside));
  QApplication::sendEvent(list.viewport(), &rightClick);
  EXPECT_TRUE(viewer.ListMenu().isVisible());
  viewer.ListMenu().hide();

  list.setCurrentRow(1);
  QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, list.visualItemRect(list.item(1)).center(),
                            QPoint());
  QApplication::sendEvent(&list, &menuKey);
  EXPECT_TRUE(viewer.ListMenu().isVisible());
  viewer.ListMenu().hide();
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(LogViewerReportTest, TheCommandWritesTheReportInTheUnitsShownWhereTheChooserSays) {
  LogViewer viewer(Context(), nullptr);
  viewer.ShowDbuv().click();
  WhenModalShown([&](QWidget* modal) {
    auto* chooser = qobject_cast<FileChooser*>(modal);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->parentWidget(), &viewer);
    EXPECT_EQ(chooser->FolderLabel().text(), Q(folder_.Path("exports")));
    EXPECT_TRUE(request_.SaveMode);
    EXPECT_EQ(request_.ExtensionFilter, ".pdf;");
    EXPECT_EQ(request_.DefaultExtension, ".pdf");
    chooser->NameField().setText("customer");
    chooser->OnOk();
  });
  viewer.SaveReportAction().trigger();
  const std::string pdf = ReadFile("exports/customer.pdf");
  ASSERT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_TRUE(boxes_.boxes.empty());
  EXPECT_EQ(viewer.List().count(), 30);  // the viewer itself is as it was
  EXPECT_TRUE(viewer.ShowDbuv().isChecked());
  if (testing::HavePdfTools()) {
    const std::string text = testing::PdfFile(pdf).Text();
    EXPECT_NE(text.find("Units: dBuV"), std::string::npos);
    EXPECT_NE(text.find("Records: 30"), std::string::npos);
  }
}

TEST_F(LogViewerReportTest, TheReportSaysWhereTheLogCameFrom) {
  const LogOrigin origins[] = {{true, {}},
                               {false, FromQDateTime(QDateTime(QDate(2026, 11, 30), QTime(9, 5)))}};
  const char* expected[] = {"Log: read from the meter", "Log file: 2026-11-30 09:05"};
  for (std::size_t k = 0; k < std::size(origins); ++k) {
    LogViewerContext context = Context();
    context.origin = origins[k];
    LogViewer viewer(context, nullptr);
    WhenModalShown([&](QWidget* modal) {
      auto* chooser = qobject_cast<FileChooser*>(modal);
      ASSERT_NE(chooser, nullptr);
      chooser->NameField().setText(QStringLiteral("origin%1").arg(k));
      chooser->OnOk();
    });
    viewer.SaveReportAction().trigger();
    const std::string pdf = ReadFile(QStringLiteral("exports/origin%1.pdf").arg(k));
    ASSERT_EQ(pdf.substr(0, 5), "%PDF-");
    if (testing::HavePdfTools()) {
      EXPECT_NE(testing::PdfFile(pdf).Text().find(expected[k]), std::string::npos) << expected[k];
    }
  }
}

TEST_F(LogViewerReportTest, ACancelledChooserWritesNoReport) {
  LogViewer viewer(Context(), nullptr);
  WhenModalShown([&](QWidget* modal) {
    auto* chooser = qobject_cast<FileChooser*>(modal);
    chooser->NameField().setText("not-written");
    chooser->OnCancel();
  });
  viewer.OnSaveReport();
  EXPECT_TRUE(QDir(Q(folder_.Path("exports"))).isEmpty());
  EXPECT_TRUE(boxes_.boxes.empty());
}

}  // namespace
}  // namespace klxr
