// The report's canvas as a PDF 1.4 document of its own making, for the programs without Qt: text
// in the standard Type 1 fonts (nothing embedded) with the Windows-1252 code page, lines and
// rectangles in uncompressed page contents, and a cross-reference table of every object.
#pragma once

#include <string>
#include <vector>

#include "report/canvas.h"

namespace klxr::report {

class PdfCanvas : public Canvas {
 public:
  // Pages of width by height points; the canvas starts on the first.
  PdfCanvas(double width, double height);

  FontMetrics Metrics(const Font& font) const override;
  double TextWidth(const Font& font, std::string_view text) const override;
  void DrawText(const Font& font, Colour colour, Point baselineLeft, std::string_view text,
                double scale) override;
  void DrawLine(Point from, Point to, Colour colour, double width) override;
  void FillRect(const Rect& rect, Colour colour) override;
  void HatchRect(const Rect& rect, Colour colour) override;
  void StrokeRect(const Rect& rect, Colour colour, double width) override;
  void NewPage() override;

  // The document of the pages drawn so far, with title (UTF-8) and creator in its information.
  std::string Document(std::string_view title, std::string_view creator) const;

 private:
  std::string& Content() { return pages_.back(); }
  // The PDF text of a rectangle's path: its lower left corner, width and height.
  std::string RectPath(const Rect& rect) const;
  double Y(double y) const { return height_ - y; }

  double width_;
  double height_;
  std::vector<std::string> pages_;  // each page's content stream
};

}  // namespace klxr::report
