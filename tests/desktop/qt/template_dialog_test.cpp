#include "desktop/qt/template_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <vector>

#include "desktop/qt/list_box.h"

namespace klxr {
namespace {

TEST(DialogUnits, ConvertWithTheFontsBaseUnits) {
  struct Case {
    DialogBaseUnits units;
    QRect dialogUnits;
    QRect pixels;
  };
  const Case kCases[] = {
      {{6, 13}, {61, 212, 50, 14}, {91, 344, 75, 22}},
      {{7, 16}, {61, 212, 50, 14}, {106, 424, 87, 28}},
      {{6, 13}, {0, 0, 187, 239}, {0, 0, 280, 388}},
      {{4, 8}, {13, 33, 158, 158}, {13, 33, 158, 158}},
  };
  for (const Case& c : kCases) {
    const QRect& u = c.dialogUnits;
    EXPECT_EQ(DialogUnitsToPixels(c.units, u.x(), u.y(), u.width(), u.height()), c.pixels);
  }
}

// The base units by their definition: the width of the 52 letters over 26, plus one, halved; and
// the font's height.
DialogBaseUnits ExpectedUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int width =
      metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return {(width / 26 + 1) / 2, metrics.height()};
}

TEST(TemplateDialog, PlacesEveryControlInDialogUnitsOfItsFontAtTwoSizes) {
  for (int pointSize : {8, 16}) {
    DialogTemplate chooser = FileChooserTemplate();
    chooser.fontPointSize = pointSize;
    TemplateDialog dialog(chooser, nullptr);
    EXPECT_EQ(dialog.font().pointSize(), pointSize);
    const DialogBaseUnits units = ExpectedUnits(dialog.font());
    EXPECT_EQ(dialog.BaseUnits(), units);
    EXPECT_EQ(dialog.size(), DialogUnitsToPixels(units, 0, 0, 187, 239).size());
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    ASSERT_EQ(dialog.Controls().size(), chooser.controls.size());
    for (std::size_t i = 0; i < chooser.controls.size(); ++i) {
      const ControlTemplate& control = chooser.controls[i];
      EXPECT_EQ(dialog.Controls()[i]->geometry(),
                DialogUnitsToPixels(units, control.x, control.y, control.width, control.height))
          << "point size " << pointSize << ", control " << control.id;
    }
  }
  EXPECT_GT(TemplateDialog(LogViewerTemplate(), nullptr).width(),
            TemplateDialog(DeviceListTemplate(), nullptr).width());
}

TEST(TemplateDialog, EveryControlIsFoundByIdAsItsKindOfWidget) {
  TemplateDialog chooser(FileChooserTemplate(), nullptr);
  EXPECT_NE(FindControl<QPushButton>(chooser, ctl::kOk), nullptr);
  EXPECT_NE(FindControl<QPushButton>(chooser, ctl::kCancel), nullptr);
  EXPECT_NE(FindControl<QListWidget>(chooser, ctl::kChooserList), nullptr);
  EXPECT_NE(FindControl<QLabel>(chooser, ctl::kChooserFolderLabel), nullptr);
  EXPECT_NE(FindControl<QLineEdit>(chooser, ctl::kChooserNameField), nullptr);
  EXPECT_NE(FindControl<QCheckBox>(chooser, ctl::kChooserShowAll), nullptr);
  EXPECT_EQ(FindControl<QLabel>(chooser, ctl::kOk), nullptr);
  EXPECT_TRUE(FindControl<QPushButton>(chooser, ctl::kOk)->isDefault());
  EXPECT_FALSE(FindControl<QPushButton>(chooser, ctl::kCancel)->isDefault());

  TemplateDialog viewer(LogViewerTemplate(), nullptr);
  for (int id : {1, 1098, 1100, 1106, 1107, 1108, 1109}) {
    QWidget* widget = FindControl<QWidget>(viewer, id);
    ASSERT_NE(widget, nullptr) << id;
    EXPECT_EQ(widget->property(kControlIdProperty).toInt(), id);
  }
  EXPECT_EQ(FindControl<QLabel>(viewer, ctl::kViewerVideoUnit)->text(), "dBm");
  // The headings have no id: they are found by their place in the template.
  EXPECT_EQ(qobject_cast<QLabel*>(viewer.Controls()[2])->text(), "Frequency");
  EXPECT_EQ(viewer.Controls()[2]->property(kControlIdProperty).toInt(), ctl::kStatic);
}

// The widgets that Tab visits, from the first one on, until Tab comes back to it.
std::vector<QWidget*> TabCycle(const TemplateDialog& dialog) {
  std::vector<QWidget*> stops;
  for (QWidget* widget : dialog.Controls()) {
    if (widget->focusPolicy() & Qt::TabFocus) {
      stops.push_back(widget);
      break;
    }
  }
  if (stops.empty()) {
    return stops;
  }
  for (QWidget* next = stops.front()->nextInFocusChain(); next != stops.front();
       next = next->nextInFocusChain()) {
    if ((next->focusPolicy() & Qt::TabFocus) && next->parentWidget() == &dialog) {
      stops.push_back(next);
    }
  }
  return stops;
}

TEST(TemplateDialog, TabVisitsTheTabStopsInTemplateOrder) {
  for (const DialogTemplate* dialogTemplate : {&FileChooserTemplate(), &LogViewerTemplate()}) {
    TemplateDialog dialog(*dialogTemplate, nullptr);
    std::vector<QWidget*> expected;
    for (std::size_t i = 0; i < dialogTemplate->controls.size(); ++i) {
      if (HasStyle(dialogTemplate->controls[i].styles, ControlStyle::TabStop)) {
        expected.push_back(dialog.Controls()[i]);
      }
    }
    EXPECT_EQ(TabCycle(dialog), expected) << dialogTemplate->id;
  }
}

TEST(TemplateDialog, ASubstituteWidgetTakesTheControlsPlace) {
  const ControlFactory table = [](const ControlTemplate& control, QWidget* parent) -> QWidget* {
    return control.kind == ControlKind::ListBox ? new QTableWidget(parent) : nullptr;
  };
  TemplateDialog viewer(LogViewerTemplate(), nullptr, table);
  auto* list = FindControl<QTableWidget>(viewer, ctl::kViewerList);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->geometry(), viewer.ToPixels(16, 26, 598, 140));
  EXPECT_EQ(list->focusPolicy(), Qt::StrongFocus);
  EXPECT_NE(FindControl<QPushButton>(viewer, ctl::kViewerExport), nullptr);
}

class RecordingDialog : public TemplateDialog {
 public:
  using TemplateDialog::TemplateDialog;
  void OnCommand(int controlId) override {
    commands.push_back(controlId);
    TemplateDialog::OnCommand(controlId);
  }
  std::vector<int> commands;
};

TEST(TemplateDialog, ButtonsAndCheckBoxesReportCommandsAndOkAndCancelEndTheDialog) {
  RecordingDialog chooser(FileChooserTemplate(), nullptr);
  FindControl<QCheckBox>(chooser, ctl::kChooserShowAll)->click();
  EXPECT_EQ(chooser.result(), 0);
  FindControl<QPushButton>(chooser, ctl::kOk)->click();
  EXPECT_EQ(chooser.result(), 1);
  chooser.reject();  // Escape and the close box
  EXPECT_EQ(chooser.result(), 2);
  EXPECT_EQ(chooser.commands, (std::vector<int>{ctl::kChooserShowAll, ctl::kOk, ctl::kCancel}));
}

TEST(TemplateDialog, FrameAndPlacementFollowTheTemplate) {
  QWidget owner;
  owner.setGeometry(100, 80, 230, 90);
  TemplateDialog about(AboutTemplate(), &owner);
  EXPECT_EQ(about.windowTitle(), "About");
  EXPECT_EQ(about.pos(), owner.mapToGlobal(QPoint(0, 0)) + about.ToPixels(22, 17, 0, 0).topLeft());
  EXPECT_TRUE(about.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(TemplateDialog(DeviceListTemplate(), nullptr).windowFlags() &
               Qt::WindowCloseButtonHint);
}

TEST(ListBox, ASortedListInsertsByTextIgnoringCaseAnOtherListAppends) {
  QListWidget sorted;
  sorted.setProperty(kSortedListProperty, true);
  QListWidget plain;
  for (const char* text : {"b", "A", "c", "a"}) {
    AddListString(sorted, text);
    AddListString(plain, text);
  }
  const auto texts = [](const QListWidget& list) {
    QStringList result;
    for (int row = 0; row < list.count(); ++row) {
      result << list.item(row)->text();
    }
    return result;
  };
  EXPECT_EQ(texts(sorted), (QStringList{"A", "a", "b", "c"}));
  EXPECT_EQ(texts(plain), (QStringList{"b", "A", "c", "a"}));
}

}  // namespace
}  // namespace klxr
