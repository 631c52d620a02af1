// The About box: the product line with the program's version, and below it the product picture
// (bitmap 216), centred across the dialog at a fixed distance from the top of its client area.
#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>

#include "desktop/about_text.h"
#include "desktop/qt/template_dialog.h"

namespace klxr {

// Where bitmap 216 is embedded in the program.
inline constexpr char kAboutPictureResource[] = ":/pictures/about_picture.bmp";
// The product picture, bitmap 216: 256 x 135 pixels with a 256-colour palette.
QImage LoadAboutPicture();

// Where the picture's top left corner goes in a client area this wide: centred across it (the
// half of the difference truncated toward zero), kAboutPictureTop pixels down.
QPoint AboutPicturePosition(int clientWidth, QSize picture);

class AboutBox : public TemplateDialog {
  Q_OBJECT

 public:
  // Builds the box over its owner from a template (the About template; tests give it another font)
  // and sets its title and text.
  explicit AboutBox(QWidget* owner, const DialogTemplate& dialogTemplate = AboutTemplate());

 protected:
  // Draws the picture afresh on every paint.
  void paintEvent(QPaintEvent* event) override;
};

// Shows the About box modally over its owner until OK, Escape or the close box ends it. Returns 1
// for OK, 2 for Escape or the close box.
int RunAboutBox(QWidget* owner);

}  // namespace klxr
