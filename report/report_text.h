// Texts fitted to the room the page gives them, measured with the metrics of the canvas's fonts,
// so that no text of a report runs into another whatever the names and values of the log; and
// the report's 8-bit texts made from the log's Latin-1 and the user's UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "report/canvas.h"

namespace klxr::report {

// A text as it will be drawn: possibly shortened with an ellipsis, and condensed across by scale.
struct FittedText {
  std::string text;
  double scale = 1;
  double width = 0;  // on the page, condensing included
};

// The longest beginning of text that, ended by an ellipsis, fits into room; text itself when it
// fits whole; empty when not even the ellipsis fits.
std::string ElideRight(const Canvas& canvas, const Font& font, std::string_view text, double room);

// Fits text into room: whole where it fits; condensed down to minimumScale of its width where
// that is enough; otherwise shortened with an ellipsis (and condensed as far as needed). An empty
// text when not even the ellipsis fits.
FittedText FitText(const Canvas& canvas, const Font& font, std::string_view text, double room,
                   double minimumScale = 1);

// Breaks text at its spaces into at most maxLines lines of at most room each; a word wider than
// room, and whatever does not fit on the last line, is shortened with an ellipsis.
std::vector<std::string> WrapText(const Canvas& canvas, const Font& font, std::string_view text,
                                  double room, int maxLines);

// The words of text, one space between them.
std::string Simplified(std::string_view text);

// Draws a fitted text with its baseline starting at baselineLeft.
void DrawFitted(Canvas& canvas, const Font& font, Colour colour, const FittedText& fitted,
                Point baselineLeft);

// Draws text on one line, shortened with an ellipsis to room, its left end at left and the top of
// its line at top. Returns the width drawn.
double DrawTextLine(Canvas& canvas, const Font& font, Colour colour, std::string_view text,
                    double left, double top, double room);

// The report's text of a Latin-1 text of the log: the same bytes, but for the C1 control codes,
// which are not characters of the log and show as "?".
std::string FromLatin1(std::string_view latin1);
// The report's text of a UTF-8 text: characters it has no byte for show as "?".
std::string FromUtf8(std::string_view utf8);
// The characters of a UTF-8 text; U+FFFD for each byte that starts no character.
std::u32string DecodeUtf8(std::string_view utf8);
// The Unicode character of a byte of a report text; U+FFFD for the five bytes without one.
char32_t CharacterOf(unsigned char byte);

}  // namespace klxr::report
