#include "desktop/qt/dialog_units.h"

#include <QFontMetrics>

#include "desktop/qt/eight_bit_text.h"

namespace klxr {

DialogBaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(letters / 26 + 1) / 2, metrics.height()};
}

QRect DialogUnitsToPixels(DialogBaseUnits units, int x, int y, int width, int height) {
  return QRect(x * units.cx / 4, y * units.cy / 8, width * units.cx / 4, height * units.cy / 8);
}

QFont DialogFont(const DialogTemplate& dialog) {
  QFont font(TextToQString(dialog.fontName), dialog.fontPointSize);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

}  // namespace klxr
