#include "desktop/qt/qt_message_boxes.h"

#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QSpacerItem>
#include <utility>

#include "desktop/qt/eight_bit_text.h"
#include "resources/string_table.h"

namespace klxr {
namespace {

QMessageBox::Icon IconFor(BoxKind kind) {
  switch (kind) {
    case BoxKind::Error:
      return QMessageBox::Critical;
    case BoxKind::Information:
      return QMessageBox::Information;
    case BoxKind::Question:
      return QMessageBox::Question;
    case BoxKind::Plain:
      return QMessageBox::NoIcon;
  }
  return QMessageBox::NoIcon;
}

// Keeps the box at least as wide as its title bar needs to show the whole caption: the caption in
// a title font that may be larger or bolder than the box's, beside the window icon and the close
// button. Without it a box with a short text cuts its caption short.
void ReserveCaptionWidth(QMessageBox& box, const QString& caption) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) {
    return;
  }
  const int width = CaptionWidth(caption, box.fontMetrics());
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                grid->rowCount(), 0, 1, grid->columnCount());
}

// What a box shows and offers: its text and detail, kind, buttons, and the buttons that Enter and
// Escape press.
struct BoxLayout {
  int index;
  std::string_view text;
  std::string_view detail;  // shown below the text when not empty
  BoxKind kind;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton defaultButton;
  QMessageBox::StandardButton escapeButton;
};

// Shows a box with no owner, blocking every window of the program until it is answered, and
// returns the button pressed. Escape and the close box press the escape button.
QMessageBox::StandardButton RunBox(const std::string& caption, const BoxLayout& layout) {
  // The catalogue's texts are Latin-1; the program's own texts and the details name files, whose
  // paths are in the file system's encoding.
  const QString text =
      layout.index == msg::kOwnText ? PathToQString(layout.text) : TextToQString(layout.text);
  QMessageBox box(IconFor(layout.kind), TextToQString(caption), text, layout.buttons);
  box.setTextFormat(Qt::PlainText);
  if (!layout.detail.empty()) {
    box.setInformativeText(PathToQString(layout.detail));
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
      label->setTextFormat(Qt::PlainText);
    }
  }
  ReserveCaptionWidth(box, box.windowTitle());
  box.setWindowModality(Qt::ApplicationModal);
  box.setDefaultButton(layout.defaultButton);
  box.setEscapeButton(layout.escapeButton);
  box.exec();
  return box.standardButton(box.clickedButton());
}

Answer AnswerOf(QMessageBox::StandardButton pressed) {
  switch (pressed) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

constexpr QMessageBox::StandardButtons kQuestionButtons =
    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;

// A question with Yes, No and Cancel; Escape and the close box cancel.
BoxLayout QuestionLayout(int index, std::string_view text,
                         QMessageBox::StandardButton defaultButton) {
  return {index, text, {}, BoxKind::Question, kQuestionButtons, defaultButton, QMessageBox::Cancel};
}

}  // namespace

int CaptionWidth(const QString& caption, const QFontMetrics& metrics) {
  constexpr int kTitleBarControls = 96;  // window icon, close button and the frame's margins
  return metrics.horizontalAdvance(caption) * 5 / 4 + kTitleBarControls;
}

QtMessageBoxes::QtMessageBoxes(std::string caption) : caption_(std::move(caption)) {}

QtMessageBoxes::QtMessageBoxes() : QtMessageBoxes(std::string(LoadString(kCaptionStringId))) {}

void QtMessageBoxes::Show(int index, std::string_view text, BoxKind kind) {
  RunBox(caption_, {index, text, {}, kind, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok});
}

void QtMessageBoxes::ShowDetailed(int index, std::string_view text, BoxKind kind,
                                  std::string_view detail) {
  RunBox(caption_, {index, text, detail, kind, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok});
}

Answer QtMessageBoxes::Ask(int index, std::string_view text) {
  return AnswerOf(RunBox(caption_, QuestionLayout(index, text, QMessageBox::Yes)));
}

Answer QtMessageBoxes::AskDefaultNo(int index, std::string_view text) {
  return AnswerOf(RunBox(caption_, QuestionLayout(index, text, QMessageBox::No)));
}

}  // namespace klxr
