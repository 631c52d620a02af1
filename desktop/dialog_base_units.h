// Dialog units: template geometry is measured in units of the dialog font, so that a dialog keeps
// its proportions whatever the font's size. A horizontal unit is a quarter of the font's average
// character width, a vertical unit an eighth of its height.
#pragma once

namespace klxr {

struct DialogBaseUnits {
  int cx;  // average character width in pixels
  int cy;  // character height in pixels
  bool operator==(const DialogBaseUnits&) const = default;
};

}  // namespace klxr
