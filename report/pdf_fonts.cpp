// The widths of the standard PDF fonts the report's own PDF writer uses, in thousandths of the font
// size, from the fonts' published metrics: Helvetica and Helvetica-Bold for each code of the
// Windows-1252 code page (WinAnsiEncoding) from the space on; Courier's every character is 600.
#include "report/pdf_fonts.h"

#include <array>
#include <cstdint>

namespace klxr::report {
namespace {

// Codes without a character in the code page have no width.
constexpr std::array<std::uint16_t, 224> kHelveticaWidths{
    278,  278, 355, 556, 556, 889,  667,  191,  333, 333,  389, 584, 278,  333, 278, 278,  // 0x20
    556,  556, 556, 556, 556, 556,  556,  556,  556, 556,  278, 278, 584,  584, 584, 556,  // 0x30
    1015, 667, 667, 722, 722, 667,  611,  778,  722, 278,  500, 667, 556,  833, 722, 778,  // 0x40
    667,  778, 722, 667, 611, 722,  667,  944,  667, 667,  611, 278, 278,  278, 469, 556,  // 0x50
    333,  556, 556, 500, 556, 556,  278,  556,  556, 222,  222, 500, 222,  833, 556, 556,  // 0x60
    556,  556, 333, 500, 278, 556,  500,  722,  500, 500,  500, 334, 260,  334, 584, 0,    // 0x70
    556,  0,   222, 556, 333, 1000, 556,  556,  333, 1000, 667, 333, 1000, 0,   611, 0,    // 0x80
    0,    222, 222, 333, 333, 350,  556,  1000, 333, 1000, 500, 333, 944,  0,   500, 667,  // 0x90
    278,  333, 556, 556, 556, 556,  260,  556,  333, 737,  370, 556, 584,  333, 737, 333,  // 0xa0
    400,  584, 333, 333, 333, 578,  537,  278,  333, 333,  365, 556, 834,  834, 834, 611,  // 0xb0
    667,  667, 667, 667, 667, 667,  1000, 722,  667, 667,  667, 667, 278,  278, 278, 278,  // 0xc0
    722,  722, 778, 778, 778, 778,  778,  584,  778, 722,  722, 722, 722,  667, 667, 611,  // 0xd0
    556,  556, 556, 556, 556, 556,  889,  500,  556, 556,  556, 556, 278,  278, 278, 278,  // 0xe0
    556,  556, 556, 556, 556, 556,  556,  584,  611, 556,  556, 556, 556,  500, 556, 500,  // 0xf0
};
constexpr std::array<std::uint16_t, 224> kHelveticaBoldWidths{
    278, 333, 474, 556, 556, 889,  722,  238,  333, 333,  389, 584, 278,  333, 278, 278,  // 0x20
    556, 556, 556, 556, 556, 556,  556,  556,  556, 556,  333, 333, 584,  584, 584, 611,  // 0x30
    975, 722, 722, 722, 722, 667,  611,  778,  722, 278,  556, 722, 611,  833, 722, 778,  // 0x40
    667, 778, 722, 667, 611, 722,  667,  944,  667, 667,  611, 333, 278,  333, 584, 556,  // 0x50
    333, 556, 611, 556, 611, 556,  333,  611,  611, 278,  278, 556, 278,  889, 611, 611,  // 0x60
    611, 611, 389, 556, 333, 611,  556,  778,  556, 556,  500, 389, 280,  389, 584, 0,    // 0x70
    556, 0,   278, 556, 500, 1000, 556,  556,  333, 1000, 667, 333, 1000, 0,   611, 0,    // 0x80
    0,   278, 278, 500, 500, 350,  556,  1000, 333, 1000, 556, 333, 944,  0,   500, 667,  // 0x90
    278, 333, 556, 556, 556, 556,  280,  556,  333, 737,  370, 556, 584,  333, 737, 333,  // 0xa0
    400, 584, 333, 333, 333, 611,  556,  278,  333, 333,  365, 556, 834,  834, 834, 611,  // 0xb0
    722, 722, 722, 722, 722, 722,  1000, 722,  667, 667,  667, 667, 278,  278, 278, 278,  // 0xc0
    722, 722, 778, 778, 778, 778,  778,  584,  778, 722,  722, 722, 722,  667, 667, 611,  // 0xd0
    556, 556, 556, 556, 556, 556,  889,  556,  556, 556,  556, 556, 278,  278, 278, 278,  // 0xe0
    611, 611, 611, 611, 611, 611,  611,  584,  611, 611,  611, 611, 611,  556, 611, 556,  // 0xf0
};

constexpr double kCourierWidth = 600;

}  // namespace

double StandardFontWidth(const Font& font, std::string_view text) {
  double units = 0;
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 32) {
      continue;
    }
    if (font.fixed) {
      units += kCourierWidth;
    } else {
      units += (font.bold ? kHelveticaBoldWidths : kHelveticaWidths)[code - 32u];
    }
  }
  return units * font.size / 1000;
}

FontMetrics StandardFontMetrics(const Font& font) {
  // The line metrics of the fonts' metric-compatible counterparts that viewers substitute for
  // them, so that text is placed as in the Qt-painted report.
  return font.fixed ? FontMetrics{0.833 * font.size, 0.300 * font.size}
                    : FontMetrics{0.905 * font.size, 0.212 * font.size};
}

std::string_view StandardFontName(const Font& font) {
  if (font.fixed) {
    return font.bold ? "Courier-Bold" : "Courier";
  }
  return font.bold ? "Helvetica-Bold" : "Helvetica";
}

}  // namespace klxr::report
