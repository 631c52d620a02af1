// The report's canvas over a QPainter: on a QPdfWriter for the Linux program's report, or on any
// other paint device.
#pragma once

#include <QFont>
#include <QString>
#include <functional>

#include "report/canvas.h"

class QPainter;

namespace klxr::report {

class QtCanvas : public Canvas {
 public:
  // newPage moves the painter's device on to its next page.
  QtCanvas(QPainter& painter, std::function<void()> newPage);

  FontMetrics Metrics(const Font& font) const override;
  double TextWidth(const Font& font, std::string_view text) const override;
  void DrawText(const Font& font, Colour colour, Point baselineLeft, std::string_view text,
                double scale) override;
  void DrawLine(Point from, Point to, Colour colour, double width) override;
  void FillRect(const Rect& rect, Colour colour) override;
  void HatchRect(const Rect& rect, Colour colour) override;
  void StrokeRect(const Rect& rect, Colour colour, double width) override;
  void NewPage() override;

 private:
  // The font as the painter's device resolves it, so that its metrics are the device's.
  QFont DeviceFont(const Font& font) const;

  QPainter& painter_;
  std::function<void()> newPage_;
};

// The Qt text of an 8-bit report text.
QString ToQString(std::string_view text);

}  // namespace klxr::report
