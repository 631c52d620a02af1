#include "desktop/qt/about_box.h"

#include <QLabel>
#include <QPainter>

#include "desktop/qt/eight_bit_text.h"
#include "resources/message_catalogue.h"

// The picture is compiled into this static library; a program that links it registers it here,
// once, before the first use.
static void RegisterAboutPicture() {
  Q_INIT_RESOURCE(about_box);
}

namespace klxr {

QImage LoadAboutPicture() {
  static const bool registered = (RegisterAboutPicture(), true);
  (void)registered;
  return QImage(QString::fromLatin1(kAboutPictureResource));
}

QPoint AboutPicturePosition(int clientWidth, QSize picture) {
  return {(clientWidth - picture.width()) / 2, kAboutPictureTop};
}

AboutBox::AboutBox(QWidget* owner, const DialogTemplate& dialogTemplate)
    : TemplateDialog(dialogTemplate, owner) {
  setWindowTitle(TextToQString(LoadText(msg::kAboutTitle)));
  FindControl<QLabel>(*this, ctl::kAboutText)
      ->setText(TextToQString(AboutText(kProductLine, kVersionMajor, kVersionMinor)));
}

void AboutBox::paintEvent(QPaintEvent* event) {
  TemplateDialog::paintEvent(event);
  const QImage picture = LoadAboutPicture();
  QPainter painter(this);
  painter.drawImage(AboutPicturePosition(width(), picture.size()), picture);
}

int RunAboutBox(QWidget* owner) {
  AboutBox box(owner);
  return box.exec();
}

}  // namespace klxr
