// At 200 % every text of the template dialogs fits its control: dialog units follow the font's
// metrics, so a label's or a button's text must never be cut.
#include <gtest/gtest.h>

#include <QAbstractButton>
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
#include "desktop/qt/remembered_folders.h"
#include "samples/sample_logs.h"
#include "support/recording_message_boxes.h"
#include "ui_test_support.h"

namespace klxr {
namespace {

QString WithoutMnemonic(QString text) {
  return text.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
      .remove('&')
      .replace('\x01', '&');
}

// The room a control's text needs: the text and, for buttons and boxes, the style's margins.
int NeededWidth(const QWidget& widget, const QString& text) {
  const int advance = widget.fontMetrics().horizontalAdvance(WithoutMnemonic(text));
  const QStyle& style = *widget.style();
  if (qobject_cast<const QCheckBox*>(&widget) != nullptr) {
    return style.pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &widget) +
           style.pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &widget) + advance;
  }
  if (qobject_cast<const QPushButton*>(&widget) != nullptr) {
    return 2 * style.pixelMetric(QStyle::PM_ButtonMargin, nullptr, &widget) + advance;
  }
  return advance;
}

// The controls whose text does not fit them, with the widths needed and had.
QStringList OverflowingTexts(const TemplateDialog& dialog) {
  QStringList overflowing;
  for (QWidget* control : dialog.Controls()) {
    QString text;
    int room = control->width();
    if (auto* label = qobject_cast<QLabel*>(control)) {
      text = label->text();
      room = label->contentsRect().width();
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
      text = button->text();
    }
    if (text.isEmpty()) {
      continue;
    }
    const int needed = NeededWidth(*control, text);
    if (needed > room) {
      overflowing << QStringLiteral("%1: %2 > %3").arg(text).arg(needed).arg(room);
    }
  }
  return overflowing;
}

TEST(TextFit, EveryLabelAndButtonTextFitsItsControlAtTwiceTheSize) {
  ASSERT_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), 2.0);
  testing::TemporaryFolder folder;
  qputenv(kSettingsFileVariable, QFile::encodeName(QString::fromStdString(folder.Path("s.ini"))));
  LogImage image = samples::MakeRealisticLog(10, 2);
  ChooserRequest request;
  testing::RecordingMessageBoxes boxes;
  MeterLink link{image, boxes};
  const std::unique_ptr<TemplateDialog> dialogs[] = {
      std::make_unique<FileChooser>(request, boxes, nullptr),
      std::make_unique<DeviceListDialog>(link, nullptr),
      std::make_unique<LogViewer>(LogViewerContext{image, request, boxes, false}, nullptr),
      std::make_unique<AboutBox>(nullptr),
  };
  for (const auto& dialog : dialogs) {
    dialog->show();
    EXPECT_EQ(OverflowingTexts(*dialog), QStringList()) << dialog->windowTitle().toStdString();
  }
  auto* viewer = static_cast<LogViewer*>(dialogs[2].get());
  viewer->ShowDbuv().click();  // the unit labels read "dBuV"
  EXPECT_EQ(OverflowingTexts(*viewer), QStringList());
  qunsetenv(kSettingsFileVariable);
}

}  // namespace
}  // namespace klxr
