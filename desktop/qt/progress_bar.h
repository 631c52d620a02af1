// The main window's progress bar, painted below the menu bar in client pixels the way the log
// download expects: while no download runs, the bar's place (10, 15)-(215, 35) is blank (white);
// while one runs, a black fill from x = 10 to ProgressShown * 205 / ProgressTotal + 10 inside a
// black outline of the whole bar.
#pragma once

#include <QRect>
#include <QWidget>
#include <functional>

#include "desktop/desktop_shell.h"

class QPainter;

namespace klxr {

// The bar's rectangle from (10, 15) to (215, 35), right and bottom edges excluded: 205 x 20 pixels.
inline constexpr int kBarLeft = 10;
inline constexpr int kBarTop = 15;
inline constexpr int kBarRight = 215;
inline constexpr int kBarBottom = 35;
inline constexpr int kBarWidth = kBarRight - kBarLeft;

// The right end R of the fill: shown * 205 / total + 10, the quotient truncated. A full scale of 0
// or less gives no fill (R = 10).
int ProgressFillRight(int shown, int total);

// Paints the bar onto a painter whose origin is the client area's top left corner.
void PaintProgressBar(QPainter& painter, const ProgressView& view);

// The client area of the main window, below its menu bar: the window colour with the bar on it.
// Assistive technology reads it as "Read progress", described by how far a Read has come
// ("812 of 1568 records").
class ProgressBarArea : public QWidget {
 public:
  ProgressBarArea(std::function<ProgressView()> source, QWidget* parent);

  // Brings the description up to the download state; the window calls it with each repaint.
  void RefreshAccessibleText();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::function<ProgressView()> source_;
};

}  // namespace klxr
