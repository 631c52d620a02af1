// The standard Type 1 fonts of PDF that the report's own PDF writer names: Helvetica for text,
// Helvetica-Bold for bold text, Courier for fixed-width text; their metrics for the layout.
#pragma once

#include <string_view>

#include "report/canvas.h"

namespace klxr::report {

// The width of an 8-bit report text (Windows-1252) in font, in points.
double StandardFontWidth(const Font& font, std::string_view text);
FontMetrics StandardFontMetrics(const Font& font);
// The font's PDF name: "Helvetica", "Helvetica-Bold", "Courier" or "Courier-Bold".
std::string_view StandardFontName(const Font& font);

}  // namespace klxr::report
