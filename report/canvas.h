// What the report draws on: pages of a size in points (1/72 inch, y growing down the page), text
// in one of the report's fonts, lines and rectangles. The Linux program draws through Qt; the
// Windows programs write the PDF document themselves (pdf_canvas.h).
#pragma once

#include <cstdint>
#include <string_view>

namespace klxr::report {

struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const Colour&) const = default;
};
inline constexpr Colour kBlack{0, 0, 0};

struct Point {
  double x = 0;
  double y = 0;
};

struct Rect {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
  double right() const { return left + width; }
  double bottom() const { return top + height; }
  Point centre() const { return {left + width / 2, top + height / 2}; }
};

// A sans-serif font (bold or not) or the fixed-width one, of a size in points.
struct Font {
  double size = 9;
  bool bold = false;
  bool fixed = false;
};

struct FontMetrics {
  double ascent = 0;   // above the baseline
  double descent = 0;  // below it
  double height() const { return ascent + descent; }
};

// Texts are 8-bit in the Windows-1252 code page: Latin-1, and the ellipsis as 0x85.
inline constexpr char kEllipsis = '\x85';

class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual FontMetrics Metrics(const Font& font) const = 0;
  virtual double TextWidth(const Font& font, std::string_view text) const = 0;
  // Text with its baseline starting at baselineLeft, condensed across by scale (1: as it comes).
  virtual void DrawText(const Font& font, Colour colour, Point baselineLeft, std::string_view text,
                        double scale) = 0;
  virtual void DrawLine(Point from, Point to, Colour colour, double width) = 0;
  virtual void FillRect(const Rect& rect, Colour colour) = 0;
  // Filled with thin diagonal lines rising to the right.
  virtual void HatchRect(const Rect& rect, Colour colour) = 0;
  virtual void StrokeRect(const Rect& rect, Colour colour, double width) = 0;
  // Ends the page and starts the next one.
  virtual void NewPage() = 0;
};

}  // namespace klxr::report
