#include "desktop/qt/qt_message_boxes.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

#include "ui_test_support.h"

namespace klxr {
namespace {

using testing::WhenModalShown;

// What a box looked like while it was up.
struct SeenBox {
  QString caption;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  Qt::WindowModality modality = Qt::NonModal;
  Qt::TextFormat format = Qt::AutoText;
};

// Looks at the box, then ends it by pressing a button, or by closing it when button is NoButton.
void SeeAndEnd(SeenBox& seen, QMessageBox::StandardButton button) {
  WhenModalShown([&seen, button](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    seen = {box->windowTitle(),     box->text(),           box->icon(),
            box->standardButtons(), box->windowModality(), box->textFormat()};
    if (button == QMessageBox::NoButton) {
      box->close();
    } else {
      box->button(button)->click();
    }
  });
}

TEST(QtMessageBoxes, EachKindHasItsIconAndOkAndBlocksTheWholeProgram) {
  const std::pair<BoxKind, QMessageBox::Icon> kKinds[] = {
      {BoxKind::Error, QMessageBox::Critical},
      {BoxKind::Information, QMessageBox::Information},
      {BoxKind::Plain, QMessageBox::NoIcon},  // the erase's box: blocks like the others
  };
  QtMessageBoxes boxes;
  for (const auto& [kind, icon] : kKinds) {
    SeenBox seen;
    SeeAndEnd(seen, QMessageBox::Ok);
    boxes.Show(msg::kLogErased, "Meter log data erased", kind);
    EXPECT_EQ(seen.caption, "KL-XR Meter - Log");
    EXPECT_EQ(seen.text, "Meter log data erased");
    EXPECT_EQ(seen.icon, icon);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
    EXPECT_EQ(seen.modality, Qt::ApplicationModal);
  }
}

// A driver message keeps the catalogue's text and carries the file and what to do as its detail.
TEST(QtMessageBoxes, ADetailedBoxKeepsTheCatalogueTextAndShowsTheDetail) {
  QtMessageBoxes boxes;
  const std::string detail = "No USB driver library could be loaded. Tried: libftd2xx.so (gone).";
  QString text;
  QString detailedText;
  WhenModalShown([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    text = box->text();
    detailedText = box->informativeText();
    box->button(QMessageBox::Ok)->click();
  });
  boxes.ShowDetailed(msg::kCantLoadUsbDriver, LoadText(msg::kCantLoadUsbDriver),
                     BoxKind::Information, detail);
  EXPECT_EQ(text.toStdString(), LoadText(msg::kCantLoadUsbDriver));
  EXPECT_EQ(detailedText.toStdString(), detail);
}

TEST(QtMessageBoxes, QuestionsOfferYesNoCancelAndClosingCountsAsCancel) {
  const std::pair<QMessageBox::StandardButton, Answer> kAnswers[] = {
      {QMessageBox::Yes, Answer::Yes},
      {QMessageBox::No, Answer::No},
      {QMessageBox::Cancel, Answer::Cancel},
      {QMessageBox::NoButton, Answer::Cancel},
  };
  QtMessageBoxes boxes;
  for (const auto& [button, answer] : kAnswers) {
    SeenBox seen;
    SeeAndEnd(seen, button);
    EXPECT_EQ(boxes.Ask(msg::kConfirmErase, LoadText(msg::kConfirmErase)), answer);
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(seen.modality, Qt::ApplicationModal);
    EXPECT_TRUE(seen.text.endsWith("\n(This may take a few seconds)"));
  }
}

TEST(QtMessageBoxes, TextsAreShownAsLatin1AndNeverAsMarkup) {
  QtMessageBoxes boxes("Caf\xe9");
  SeenBox seen;
  SeeAndEnd(seen, QMessageBox::Ok);
  boxes.Show(0, "<b>50\xb0</b>", BoxKind::Error);
  EXPECT_EQ(seen.caption, QString::fromUtf8("Caf\u00e9"));
  EXPECT_EQ(seen.text, QString::fromUtf8("<b>50\u00b0</b>"));
  EXPECT_EQ(seen.format, Qt::PlainText);
}

}  // namespace
}  // namespace klxr

namespace klxr {
namespace {

TEST(QtMessageBoxes, ABoxIsAtLeastAsWideAsItsCaptionNeeds) {
  const struct {
    std::string caption;
    std::string text;
  } kBoxes[] = {
      {"KL-XR Meter - Log", "OK"},
      {"KL-XR Meter - Log", "Meter log data erased"},
      {"A caption far longer than any text the program puts into its boxes", "Done"},
  };
  for (const auto& box : kBoxes) {
    QtMessageBoxes boxes(box.caption);
    int width = 0;
    int captionText = 0;
    int needed = 0;
    testing::WhenModalShown([&](QWidget* modal) {
      const QString caption = QString::fromStdString(box.caption);
      width = modal->width();
      captionText = modal->fontMetrics().horizontalAdvance(caption);
      needed = CaptionWidth(caption, modal->fontMetrics());
      qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
    });
    boxes.Show(msg::kLogErased, box.text, BoxKind::Information);
    EXPECT_GE(width, needed) << box.caption;
    EXPECT_GE(width, captionText + 64) << box.caption;  // room for the title bar's buttons
  }
}

}  // namespace
}  // namespace klxr

namespace klxr {
namespace {

TEST(QtMessageBoxes, ADetailShowsBelowTheTextAsPlainTextInTheFileSystemsEncoding) {
  QtMessageBoxes boxes;
  QString text;
  QString detail;
  Qt::TextFormat detailFormat = Qt::AutoText;
  testing::WhenModalShown([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    text = box->text();
    detail = box->informativeText();
    if (auto* label = box->findChild<QLabel*>("qt_msgbox_informativelabel")) {
      detailFormat = label->textFormat();
    }
    box->button(QMessageBox::Ok)->click();
  });
  boxes.ShowDetailed(msg::kCantWriteRegistry, LoadText(msg::kCantWriteRegistry), BoxKind::Error,
                     "/home/caf\xc3\xa9/<b>.ini: No space left on device");
  EXPECT_EQ(text, "Can't read system registry, COM setting will not be saved");
  EXPECT_EQ(detail, QString::fromUtf8("/home/caf\u00e9/<b>.ini: No space left on device"));
  EXPECT_EQ(detailFormat, Qt::PlainText);
}

TEST(QtMessageBoxes, AQuestionThatWouldDestroyDataDefaultsToNo) {
  const struct {
    const char* name;
    Answer (QtMessageBoxes::*ask)(int, std::string_view);
    QMessageBox::StandardButton defaultButton;
  } kQuestions[] = {
      {"Ask", &QtMessageBoxes::Ask, QMessageBox::Yes},
      {"AskDefaultNo", &QtMessageBoxes::AskDefaultNo, QMessageBox::No},
  };
  QtMessageBoxes boxes;
  for (const auto& question : kQuestions) {
    SCOPED_TRACE(question.name);
    QMessageBox::StandardButton seenDefault = QMessageBox::NoButton;
    QString text;
    testing::WhenModalShown([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      ASSERT_NE(box, nullptr);
      seenDefault = box->standardButton(box->defaultButton());
      text = box->text();
      box->defaultButton()->click();  // Enter
    });
    const Answer answer =
        (boxes.*question.ask)(msg::kOwnText, "Replace \"/logs/caf\xc3\xa9.tlg\"?");
    EXPECT_EQ(seenDefault, question.defaultButton);
    EXPECT_EQ(answer, question.defaultButton == QMessageBox::Yes ? Answer::Yes : Answer::No);
    EXPECT_EQ(text, QString::fromUtf8("Replace \"/logs/caf\u00e9.tlg\"?"));
  }
}

}  // namespace
}  // namespace klxr
