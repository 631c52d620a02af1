#include "ui/qt_message_boxes.h"

#include <QMessageBox>
#include <utility>

#include "resources/string_table.h"
#include "ui/eight_bit_text.h"

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

// Shows a box with no owner, blocking every window of the program until it is answered, and
// returns the button pressed. Escape and the close box press the escape button.
QMessageBox::StandardButton RunBox(const std::string& caption, std::string_view text, BoxKind kind,
                                   QMessageBox::StandardButtons buttons,
                                   QMessageBox::StandardButton defaultButton,
                                   QMessageBox::StandardButton escapeButton) {
  QMessageBox box(IconFor(kind), TextToQString(caption), TextToQString(text), buttons);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  box.setDefaultButton(defaultButton);
  box.setEscapeButton(escapeButton);
  box.exec();
  return box.standardButton(box.clickedButton());
}

}  // namespace

QtMessageBoxes::QtMessageBoxes(std::string caption) : caption_(std::move(caption)) {}

QtMessageBoxes::QtMessageBoxes() : QtMessageBoxes(std::string(LoadString(kCaptionStringId))) {}

void QtMessageBoxes::Show(int /*index*/, std::string_view text, BoxKind kind) {
  RunBox(caption_, text, kind, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
}

Answer QtMessageBoxes::Ask(int /*index*/, std::string_view text) {
  const QMessageBox::StandardButton pressed = RunBox(
      caption_, text, BoxKind::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
      QMessageBox::Yes, QMessageBox::Cancel);
  switch (pressed) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

}  // namespace klxr
