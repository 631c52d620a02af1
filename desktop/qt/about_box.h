// The About box: the product line with the program's version, and below it the product picture
// (bitmap 216), centred across the dialog at a fixed distance from the top of its client area.
#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <string>
#include <string_view>

#include "desktop/qt/template_dialog.h"

namespace klxr {

inline constexpr std::string_view kProductLine = "Quorvel KLXR";
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 14;

// Where bitmap 216 is embedded in the program.
inline constexpr char kAboutPictureResource[] = ":/pictures/about_picture.bmp";
// The picture's top edge, in pixels below the top of the client area.
inline constexpr int kAboutPictureTop = 58;

// "%s Meter V%d.%02d" of the product line and the version: "Quorvel KLXR Meter V1.14".
std::string AboutText(std::string_view productLine, int major, int minor);

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
