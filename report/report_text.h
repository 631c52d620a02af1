// Texts fitted to the room the page gives them, measured with the metrics of the painter's font,
// so that no text of a report runs into another whatever the names and values of the log.
#pragma once

#include <QFontMetricsF>
#include <QPointF>
#include <QString>
#include <QStringList>

class QPainter;

namespace klxr::report {

// A text as it will be drawn: possibly shortened with an ellipsis, and condensed across by scale.
struct FittedText {
  QString text;
  double scale = 1;
  double width = 0;  // on the page, condensing included
};

// Fits text into room: whole where it fits; condensed down to minimumScale of its width where
// that is enough; otherwise shortened with an ellipsis (and condensed as far as needed). An empty
// text when not even the ellipsis fits.
FittedText FitText(const QFontMetricsF& metrics, const QString& text, double room,
                   double minimumScale = 1);

// Breaks text at its spaces into at most maxLines lines of at most room each; a word wider than
// room, and whatever does not fit on the last line, is shortened with an ellipsis.
QStringList WrapText(const QFontMetricsF& metrics, const QString& text, double room, int maxLines);

// Draws a fitted text with its baseline starting at baselineLeft, in the painter's font.
void DrawFitted(QPainter& painter, const FittedText& fitted, QPointF baselineLeft);

// Draws text on one line in the painter's font, shortened with an ellipsis to room, its left end
// at left and the top of its line at top. Returns the width drawn.
double DrawLine(QPainter& painter, const QString& text, double left, double top, double room);

}  // namespace klxr::report
