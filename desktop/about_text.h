// The About box's line: the product line and the program's version, the same in both desktop
// programs.
#pragma once

#include <string>
#include <string_view>

namespace klxr {

inline constexpr std::string_view kProductLine = "Quorvel KLXR";
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 14;
// The picture's top edge, in pixels below the top of the box's client area.
inline constexpr int kAboutPictureTop = 58;

// "%s Meter V%d.%02d" of the product line and the version: "Quorvel KLXR Meter V1.14".
std::string AboutText(std::string_view productLine, int major, int minor);

}  // namespace klxr
