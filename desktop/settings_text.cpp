#include "desktop/settings_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/text_line_end.h"

namespace klxr {
namespace {

// A new line ends as the system's text files end theirs.
std::string LineEnd() {
  return std::string(platform::TextLineEnd());
}

constexpr std::string_view kGeneralSection = "General";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The control characters written as a letter after '\'.
constexpr std::array<std::pair<char, char>, 7> kNamedControls{
    {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'}, {'r', '\r'}, {'t', '\t'}, {'v', '\v'}}};
// Values that stand for a type other than a string: "@Type(...)".
constexpr std::array<std::string_view, 6> kTypedValues{"@ByteArray(", "@Variant(", "@DateTime(",
                                                       "@Rect(",      "@Size(",    "@Point("};

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsLineBreak(char c) {
  return c == '\n' || c == '\r';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

std::string_view Trimmed(std::string_view text) {
  const auto isSpace = [](char c) {
    return IsBlank(c) || IsLineBreak(c) || c == '\v' || c == '\f';
  };
  while (!text.empty() && isSpace(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && isSpace(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

bool IsGeneral(std::string_view section) {
  return std::equal(section.begin(), section.end(), kGeneralSection.begin(), kGeneralSection.end(),
                    [](char a, char b) { return (a | 0x20) == (b | 0x20); });
}

// One line: its content [start, end) and where the next line starts.
struct Line {
  std::size_t start = 0;
  std::size_t end = 0;
  std::size_t next = 0;
};

// Splits the text into lines. A line break inside quotes, or escaped with '\', belongs to its line.
std::vector<Line> SplitLines(std::string_view text, std::size_t from) {
  std::vector<Line> lines;
  std::size_t i = from;
  while (i < text.size()) {
    Line line{i, i, i};
    bool inQuotes = false;
    while (i < text.size() && (inQuotes || !IsLineBreak(text[i]))) {
      if (text[i] == '\\' && i + 1 < text.size()) {
        ++i;
        if (i + 1 < text.size() && IsLineBreak(text[i]) && IsLineBreak(text[i + 1]) &&
            text[i] != text[i + 1]) {
          ++i;  // an escaped \r\n or \n\r
        }
      } else if (text[i] == '"') {
        inQuotes = !inQuotes;
      }
      ++i;
    }
    line.end = i;
    if (i < text.size()) {
      const char lineBreak = text[i++];
      if (i < text.size() && IsLineBreak(text[i]) && text[i] != lineBreak) {
        ++i;  // \r\n or \n\r
      }
    }
    line.next = i;
    lines.push_back(line);
  }
  return lines;
}

enum class LineKind { Blank, Comment, Section, Entry, Other };

struct ParsedLine {
  LineKind kind = LineKind::Blank;
  std::string_view section;  // Section: its name
  std::string_view name;     // Entry: its name and its value up to a comment
  std::string_view value;
};

ParsedLine ParseLine(std::string_view line) {
  std::size_t p = 0;
  while (p < line.size() && (IsBlank(line[p]) || IsLineBreak(line[p]))) {
    ++p;
  }
  if (p == line.size()) {
    return {};
  }
  if (line[p] == ';') {
    return {LineKind::Comment, {}, {}, {}};
  }
  if (line[p] == '[') {
    const std::size_t close = std::min(line.find(']', p), line.size());
    return {LineKind::Section, Trimmed(line.substr(p + 1, close - p - 1)), {}, {}};
  }
  bool inQuotes = false;
  std::size_t equals = std::string_view::npos;
  std::size_t end = line.size();
  for (std::size_t i = p; i < line.size(); ++i) {
    if (line[i] == '\\') {
      ++i;
    } else if (line[i] == '"') {
      inQuotes = !inQuotes;
    } else if (!inQuotes && line[i] == '=' && equals == std::string_view::npos) {
      equals = i;
    } else if (!inQuotes && line[i] == ';') {
      end = i;
      break;
    }
  }
  if (equals == std::string_view::npos || equals > end) {
    return {LineKind::Other, {}, {}, {}};
  }
  return {LineKind::Entry,
          {},
          Trimmed(line.substr(p, equals - p)),
          line.substr(equals + 1, end - equals - 1)};
}

void AppendHex(std::string& out, unsigned value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string digits;
  do {
    digits.insert(digits.begin(), kDigits[value % 16]);
    value /= 16;
  } while (value != 0);
  out += "\\x";
  out += digits;
}

// Appends a 16-bit character given by an escape as UTF-8; half a surrogate pair cannot stand
// alone and becomes U+FFFD.
void AppendCodeUnit(std::string& out, unsigned unit) {
  if (unit >= 0xD800 && unit <= 0xDFFF) {
    unit = 0xFFFD;
  }
  if (unit < 0x80) {
    out += static_cast<char>(unit);
  } else if (unit < 0x800) {
    out += static_cast<char>(0xC0 | (unit >> 6));
    out += static_cast<char>(0x80 | (unit & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (unit >> 12));
    out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (unit & 0x3F));
  }
}

// Reads the escape after a '\' at text[i - 1]; appends what it stands for and moves i past it.
void TakeEscape(std::string_view text, std::size_t& i, std::string& out) {
  const char letter = text[i++];
  for (const auto& [name, control] : kNamedControls) {
    if (letter == name) {
      out += control;
      return;
    }
  }
  if (letter == '"' || letter == '\'' || letter == '?' || letter == '\\') {
    out += letter;
    return;
  }
  const int base = letter == 'x' ? 16 : (letter >= '0' && letter <= '7' ? 8 : 0);
  if (base == 0) {
    // An escaped line break continues the value; an unknown escape stands for nothing.
    if (IsLineBreak(letter) && i < text.size() && IsLineBreak(text[i]) && text[i] != letter) {
      ++i;
    }
    return;
  }
  const auto digit = [base](char c) {
    const int value = HexValue(c);
    return value >= 0 && value < base ? value : -1;
  };
  unsigned unit = base == 8 ? static_cast<unsigned>(letter - '0') : 0;
  if (base == 16 && (i == text.size() || digit(text[i]) < 0)) {
    return;  // "\x" without a digit stands for nothing
  }
  while (i < text.size() && digit(text[i]) >= 0) {
    unit =
        ((unit * static_cast<unsigned>(base)) + static_cast<unsigned>(digit(text[i++]))) & 0xFFFF;
  }
  AppendCodeUnit(out, unit);
}

}  // namespace

std::string EscapeSettingsValue(std::string_view value) {
  std::string out = !value.empty() && value.front() == '@' ? "@" : "";
  bool needsQuotes = false;
  bool escapeNextHexDigit = false;  // a digit after \xHH would extend it
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    needsQuotes = needsQuotes || c == ';' || c == ',' || c == '=';
    if (escapeNextHexDigit && HexValue(c) >= 0) {
      AppendHex(out, byte);
      continue;
    }
    escapeNextHexDigit = false;
    const auto named = std::find_if(kNamedControls.begin(), kNamedControls.end(),
                                    [c](const auto& pair) { return pair.second == c; });
    if (c == '\0') {
      out += "\\0";
      escapeNextHexDigit = true;
    } else if (named != kNamedControls.end()) {
      out += '\\';
      out += named->first;
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte <= 0x1F) {
      AppendHex(out, byte);
      escapeNextHexDigit = true;
    } else {
      out += c;
    }
  }
  if (needsQuotes || (!out.empty() && (out.front() == ' ' || out.back() == ' '))) {
    out = '"' + out + '"';
  }
  return out;
}

std::optional<std::string> UnescapeSettingsValue(std::string_view escaped) {
  std::string out;
  std::size_t i = 0;
  bool inQuotes = false;
  bool quoted = false;
  std::size_t keepUpTo = 0;  // trailing blanks before this point came from escapes and stay
  const auto skipBlanks = [&] {
    while (i < escaped.size() && IsBlank(escaped[i])) {
      ++i;
    }
  };
  skipBlanks();
  while (i < escaped.size()) {
    const char c = escaped[i];
    if (c == '\\') {
      if (++i == escaped.size()) {
        break;
      }
      TakeEscape(escaped, i, out);
      keepUpTo = out.size();
    } else if (c == '"') {
      ++i;
      quoted = true;
      inQuotes = !inQuotes;
      if (!inQuotes) {
        skipBlanks();
      }
    } else if (c == ',' && !inQuotes) {
      return std::nullopt;  // a list of values
    } else {
      const std::size_t run = escaped.find_first_of("\\\",", i + 1);
      const std::size_t end = run == std::string_view::npos ? escaped.size() : run;
      out.append(escaped.substr(i, end - i));
      i = end;
    }
  }
  if (!quoted) {
    while (out.size() > keepUpTo && IsBlank(out.back())) {
      out.pop_back();
    }
  }
  if (out.rfind("@@", 0) == 0) {
    return out.substr(1);
  }
  const bool typed =
      out == "@Invalid()" ||
      (!out.empty() && out.back() == ')' &&
       std::any_of(kTypedValues.begin(), kTypedValues.end(),
                   [&out](std::string_view marker) { return out.rfind(marker, 0) == 0; }));
  if (typed) {
    return std::nullopt;
  }
  return out;
}

std::optional<std::string> FindSettingsValue(std::string_view text, std::string_view name) {
  const std::size_t from = text.rfind(kUtf8Mark, 0) == 0 ? kUtf8Mark.size() : 0;
  std::optional<std::string> found;
  bool inGeneral = true;  // lines before any section belong to the general one
  for (const Line& line : SplitLines(text, from)) {
    const ParsedLine parsed = ParseLine(text.substr(line.start, line.end - line.start));
    if (parsed.kind == LineKind::Section) {
      inGeneral = IsGeneral(parsed.section);
    } else if (parsed.kind == LineKind::Entry && inGeneral && parsed.name == name) {
      found = UnescapeSettingsValue(parsed.value);
    }
  }
  return found;
}

std::string SetSettingsValue(std::string_view text, std::string_view name, std::string_view value) {
  const std::string entry = std::string(name) + "=" + EscapeSettingsValue(value);
  const std::size_t from = text.rfind(kUtf8Mark, 0) == 0 ? kUtf8Mark.size() : 0;
  const std::vector<Line> lines = SplitLines(text, from);
  std::vector<std::size_t> matches;
  std::optional<std::size_t> lastOfGeneral;  // the general section's last line that is not blank
  bool inGeneral = true;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const ParsedLine parsed = ParseLine(text.substr(lines[k].start, lines[k].end - lines[k].start));
    if (parsed.kind == LineKind::Section) {
      inGeneral = IsGeneral(parsed.section);
    }
    if (inGeneral && parsed.kind != LineKind::Blank) {
      lastOfGeneral = k;
    }
    if (inGeneral && parsed.kind == LineKind::Entry && parsed.name == name) {
      matches.push_back(k);
    }
  }
  std::string result(text.substr(0, from));
  if (!matches.empty()) {
    // The first line of the name takes the value; later ones, which would hide it, go.
    for (std::size_t k = 0; k < lines.size(); ++k) {
      const Line& line = lines[k];
      if (k == matches.front()) {
        result += entry;
        result += text.substr(line.end, line.next - line.end);
      } else if (std::find(matches.begin(), matches.end(), k) == matches.end()) {
        result += text.substr(line.start, line.next - line.start);
      }
    }
    return result;
  }
  if (lastOfGeneral) {
    // The new line ends as the line before it; the last line of a text may have no line break.
    const Line& line = lines[*lastOfGeneral];
    const std::string_view lineEnd = line.next > line.end
                                         ? text.substr(line.end, line.next - line.end)
                                         : platform::TextLineEnd();
    result = std::string(text.substr(0, line.next));
    if (line.next == line.end) {
      result += lineEnd;
    }
    return result + entry + std::string(lineEnd) + std::string(text.substr(line.next));
  }
  if (Trimmed(text.substr(from)).empty()) {
    return result + "[General]" + LineEnd() + entry + LineEnd();
  }
  result = std::string(text);
  if (!IsLineBreak(result.back())) {
    result += LineEnd();
  }
  return result + LineEnd() + "[General]" + LineEnd() + entry + LineEnd();
}

}  // namespace klxr
