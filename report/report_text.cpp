#include "report/report_text.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace klxr::report {
namespace {

// The characters of Windows-1252 at 0x80 to 0x9F; 0 where the code page has none.
constexpr std::array<char16_t, 32> kHighControlsOf1252{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char ByteOf(char32_t character) {
  if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
    return static_cast<char>(character);
  }
  for (std::size_t k = 0; k < kHighControlsOf1252.size(); ++k) {
    if (kHighControlsOf1252[k] != 0 && kHighControlsOf1252[k] == character) {
      return static_cast<char>(0x80 + k);
    }
  }
  return '?';
}

}  // namespace

std::string ElideRight(const Canvas& canvas, const Font& font, std::string_view text, double room) {
  if (canvas.TextWidth(font, text) <= room) {
    return std::string(text);
  }
  const std::string ellipsis(1, kEllipsis);
  if (canvas.TextWidth(font, ellipsis) > room) {
    return {};
  }
  // The widths grow with the length: a binary search for the longest beginning that fits.
  std::size_t low = 0;
  std::size_t high = text.size();
  while (low < high) {
    const std::size_t middle = (low + high + 1) / 2;
    if (canvas.TextWidth(font, std::string(text.substr(0, middle)) + ellipsis) <= room) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return std::string(text.substr(0, low)) + ellipsis;
}

FittedText FitText(const Canvas& canvas, const Font& font, std::string_view text, double room,
                   double minimumScale) {
  const double natural = canvas.TextWidth(font, text);
  if (natural <= room) {
    return {std::string(text), 1, natural};
  }
  const double scale = std::clamp(minimumScale, 0.1, 1.0);
  if (natural * scale <= room) {
    return {std::string(text), room / natural, room};
  }
  const std::string shortened = ElideRight(canvas, font, text, room / scale);
  const double width = canvas.TextWidth(font, shortened);
  if (shortened.empty() || width <= 0) {
    return {};
  }
  const double fittedScale = std::min(1.0, room / width);
  return {shortened, fittedScale, width * fittedScale};
}

std::string Simplified(std::string_view text) {
  std::string simplified;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find(' ', start), text.size());
    if (end > start) {
      simplified += simplified.empty() ? "" : " ";
      simplified += text.substr(start, end - start);
    }
    start = end + 1;
  }
  return simplified;
}

std::vector<std::string> WrapText(const Canvas& canvas, const Font& font, std::string_view text,
                                  double room, int maxLines) {
  std::vector<std::string> words;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find(' ', start), text.size());
    if (end > start) {
      words.emplace_back(text.substr(start, end - start));
    }
    start = end + 1;
  }
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t k = 0; k < words.size(); ++k) {
    const std::string joined = line.empty() ? words[k] : line + ' ' + words[k];
    if (line.empty() || canvas.TextWidth(font, joined) <= room) {
      line = joined;
      continue;
    }
    if (static_cast<int>(lines.size()) + 1 >= maxLines) {
      // The last line takes the rest of the text, shortened below.
      for (; k < words.size(); ++k) {
        line += ' ' + words[k];
      }
      break;
    }
    lines.push_back(line);
    line = words[k];
  }
  if (!line.empty()) {
    lines.push_back(line);
  }
  for (std::string& each : lines) {
    each = FitText(canvas, font, each, room).text;
  }
  return lines;
}

void DrawFitted(Canvas& canvas, const Font& font, Colour colour, const FittedText& fitted,
                Point baselineLeft) {
  if (!fitted.text.empty()) {
    canvas.DrawText(font, colour, baselineLeft, fitted.text, std::min(1.0, fitted.scale));
  }
}

double DrawTextLine(Canvas& canvas, const Font& font, Colour colour, std::string_view text,
                    double left, double top, double room) {
  const FittedText fitted = FitText(canvas, font, text, room);
  DrawFitted(canvas, font, colour, fitted, {left, top + canvas.Metrics(font).ascent});
  return fitted.width;
}

std::string FromLatin1(std::string_view latin1) {
  std::string text(latin1);
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80 && byte < 0xA0) {
      c = '?';
    }
  }
  return text;
}

char32_t CharacterOf(unsigned char byte) {
  if (byte < 0x80 || byte >= 0xA0) {
    return byte;
  }
  const char16_t character = kHighControlsOf1252[byte - 0x80u];
  return character != 0 ? character : char32_t{0xFFFD};
}

std::u32string DecodeUtf8(std::string_view utf8) {
  std::u32string characters;
  for (std::size_t k = 0; k < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[k]);
    const std::size_t length = lead < 0x80    ? 1
                               : lead >= 0xF8 ? 0
                               : lead >= 0xF0 ? 4
                               : lead >= 0xE0 ? 3
                               : lead >= 0xC0 ? 2
                                              : 0;
    char32_t character = length == 1 ? lead : lead & (0x7Fu >> length);
    bool valid = length != 0 && k + length <= utf8.size();
    for (std::size_t n = 1; valid && n < length; ++n) {
      const auto next = static_cast<unsigned char>(utf8[k + n]);
      valid = (next & 0xC0) == 0x80;
      character = (character << 6) | (next & 0x3Fu);
    }
    characters += valid ? character : char32_t{0xFFFD};
    k += valid ? length : 1;
  }
  return characters;
}

std::string FromUtf8(std::string_view utf8) {
  std::string text;
  for (const char32_t character : DecodeUtf8(utf8)) {
    text += ByteOf(character);
  }
  return text;
}

}  // namespace klxr::report
