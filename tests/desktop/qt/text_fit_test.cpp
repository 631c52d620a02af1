// At 200 % every text of the template dialogs fits its control (dialog units follow the font's
// metrics, so a label's or a button's text is never cut), and every control Tab or a click can
// reach has a name for assistive technology.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <memory>

#include "desktop/qt/about_box.h"
#include "desktop/qt/device_list_dialog.h"
#include "desktop/qt/file_chooser.h"
#include "desktop/qt/log_viewer.h"
#include "samples/sample_logs.h"
#include "support/recording_message_boxes.h"
#include "ui_test_support.h"

namespace klxr {
namespace {

// The controls whose text needs more than their width: the text, and for a button its margins,
// for a box its indicator and the space after it.
QStringList OverflowingTexts(const TemplateDialog& dialog) {
  QStringList overflowing;
  for (QWidget* control : dialog.Controls()) {
    const QStyle& style = *control->style();
    QString text;
    int room = control->width();
    if (auto* label = qobject_cast<QLabel*>(control)) {
      text = label->text();
      room = label->contentsRect().width();
    } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
      text = box->text();
      room -= style.pixelMetric(QStyle::PM_IndicatorWidth) +
              style.pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
      text = button->text();
      room -= 2 * style.pixelMetric(QStyle::PM_ButtonMargin);
    }
    const int needed = control->fontMetrics().horizontalAdvance(text.remove('&'));
    if (needed > room) {
      overflowing << QStringLiteral("%1: %2 > %3").arg(text).arg(needed).arg(room);
    }
  }
  return overflowing;
}

TEST(TextFit, EveryTextFitsItsControlAtTwiceTheSizeAndEveryFocusableControlHasAName) {
  ASSERT_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), 2.0);
  LogImage image = samples::MakeRealisticLog(10, 2);
  ChooserRequest request;
  testing::RecordingMessageBoxes boxes;
  MeterLink link{image, boxes};
  auto viewer =
      std::make_unique<LogViewer>(LogViewerContext{image, request, boxes, false}, nullptr);
  const std::unique_ptr<TemplateDialog> dialogs[] = {
      std::make_unique<FileChooser>(request, boxes, nullptr),
      std::make_unique<DeviceListDialog>(link, nullptr), std::make_unique<AboutBox>(nullptr)};
  for (const auto& dialog : dialogs) {
    EXPECT_EQ(OverflowingTexts(*dialog), QStringList()) << dialog->windowTitle().toStdString();
    EXPECT_EQ(testing::UnnamedControls(*dialog), QStringList())
        << dialog->windowTitle().toStdString();
  }
  EXPECT_EQ(testing::UnnamedControls(*viewer), QStringList());
  for (int tick = 0; tick < 2; ++tick) {  // the unit labels in dBm, then in dBuV
    EXPECT_EQ(OverflowingTexts(*viewer), QStringList());
    viewer->ShowDbuv().click();
  }
}

}  // namespace
}  // namespace klxr
