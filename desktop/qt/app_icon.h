// Icon 135: the program's 32 x 32, 16-colour icon (a signal meter with its aerial), drawn by
// resources/icons/draw_icon_135.py and embedded in the program. It is the main window's icon.
#pragma once

#include <QIcon>
#include <QString>

namespace klxr {

// Where the embedded icon lives among the program's resources.
inline constexpr char kAppIconPath[] = ":/klxr/icon_135.png";

QIcon AppIcon();

}  // namespace klxr
