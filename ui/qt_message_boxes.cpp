#include "ui/qt_message_boxes.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
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

// Shows a box with no owner, blocking every window of the program until it is answered, and
// returns the button pressed. Escape and the close box press the escape button.
QMessageBox::StandardButton RunBox(const std::string& caption, std::string_view text, BoxKind kind,
                                   QMessageBox::StandardButtons buttons,
                                   QMessageBox::StandardButton defaultButton,
                                   QMessageBox::StandardButton escapeButton,
                                   std::string_view detail = {}) {
  QMessageBox box(IconFor(kind), TextToQString(caption), TextToQString(text), buttons);
  box.setTextFormat(Qt::PlainText);
  if (!detail.empty()) {
    box.setDetailedText(TextToQString(detail));
  }
  ReserveCaptionWidth(box, box.windowTitle());
  box.setWindowModality(Qt::ApplicationModal);
  box.setDefaultButton(defaultButton);
  box.setEscapeButton(escapeButton);
  box.exec();
  return box.standardButton(box.clickedButton());
}

}  // namespace

int CaptionWidth(const QString& caption, const QFontMetrics& metrics) {
  constexpr int kTitleBarControls = 96;  // window icon, close button and the frame's margins
  return metrics.horizontalAdvance(caption) * 5 / 4 + kTitleBarControls;
}

QtMessageBoxes::QtMessageBoxes(std::string caption) : caption_(std::move(caption)) {}

QtMessageBoxes::QtMessageBoxes() : QtMessageBoxes(std::string(LoadString(kCaptionStringId))) {}

void QtMessageBoxes::Show(int /*index*/, std::string_view text, BoxKind kind) {
  RunBox(caption_, text, kind, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
}

void QtMessageBoxes::ShowDetailed(int /*index*/, std::string_view text, BoxKind kind,
                                  std::string_view detail) {
  RunBox(caption_, text, kind, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok, detail);
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
