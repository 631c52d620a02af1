// Dialog units: template geometry is measured in units of the dialog font, so that a dialog keeps
// its proportions whatever the font's size. A horizontal unit is a quarter of the font's average
// character width, a vertical unit an eighth of its height.
#pragma once

#include <QFont>
#include <QRect>

#include "desktop/dialog_base_units.h"
#include "resources/dialog_templates.h"

namespace klxr {

// The base units of a font: the width of the 52 letters "A".."Z" and "a".."z" divided by 26, plus
// one, halved; and the font's height.
DialogBaseUnits BaseUnitsOf(const QFont& font);

// A rectangle in dialog units, in pixels.
QRect DialogUnitsToPixels(DialogBaseUnits units, int x, int y, int width, int height);

// A template's font at its point size. Where the family is missing, the system's substitute for it
// is used.
QFont DialogFont(const DialogTemplate& dialog);

}  // namespace klxr
