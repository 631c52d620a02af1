#include "log/data_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

namespace klxr {
namespace {

// Writes the integer `scaled` (the value times 10^decimals) with a decimal point put back in and
// the zeros after it dropped: digit work alone, so no locale takes part.
std::string ScaledIntegerText(long long scaled, int decimals, bool keepZeros = false) {
  const bool negative = scaled < 0;
  std::string digits = std::to_string(negative ? -scaled : scaled);
  if (static_cast<int>(digits.size()) <= decimals) {
    digits.insert(0, static_cast<std::size_t>(decimals + 1) - digits.size(), '0');
  }
  std::string whole = digits.substr(0, digits.size() - static_cast<std::size_t>(decimals));
  std::string fraction = digits.substr(whole.size());
  while (!keepZeros && !fraction.empty() && fraction.back() == '0') {
    fraction.pop_back();
  }
  std::string text = negative && (whole != "0" || !fraction.empty()) ? "-" : "";
  text += whole;
  if (!fraction.empty()) {
    text += '.';
    text += fraction;
  }
  return text;
}

}  // namespace

std::string Latin1ToUtf8(std::string_view latin1) {
  std::string utf8;
  utf8.reserve(latin1.size());
  for (const char c : latin1) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | (code >> 6));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return utf8;
}

std::string DecimalText(double value, int decimals) {
  if (!std::isfinite(value)) {
    return "0";
  }
  const double scale = std::pow(10.0, decimals);
  return ScaledIntegerText(std::llround(value * scale), decimals);
}

std::string FixedText(double value, int decimals) {
  if (!std::isfinite(value)) {
    return "0";
  }
  return ScaledIntegerText(std::llround(value * std::pow(10.0, decimals)), decimals, true);
}

std::string MegahertzText(std::uint32_t kilohertz) {
  return ScaledIntegerText(static_cast<long long>(kilohertz), 3);
}

std::string BerNumberText(double ber) {
  if (!std::isfinite(ber) || ber <= 0.0) {
    return "0";
  }
  // Back to the meter's count of 1e-8 steps, then divided once: the nearest double to the exact
  // decimal, whose shortest form is that decimal.
  const double exact = static_cast<double>(std::llround(ber * 1e8)) / 1e8;
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), exact);
  return std::string(buffer.data(), result.ptr);
}

std::string Iso8601Utc(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const auto seconds = floor<std::chrono::seconds>(time);
  const auto days = floor<std::chrono::days>(seconds);
  const year_month_day date{days};
  const hh_mm_ss clock{seconds - days};
  std::array<char, 40> text{};
  std::snprintf(text.data(), text.size(), "%04d-%02u-%02uT%02d:%02d:%02dZ", int(date.year()),
                unsigned(date.month()), unsigned(date.day()), int(clock.hours().count()),
                int(clock.minutes().count()), int(clock.seconds().count()));
  return text.data();
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    return std::string(text);
  }
  std::string field = "\"";
  for (const char c : text) {
    field += c;
    if (c == '"') {
      field += '"';
    }
  }
  return field + '"';
}

std::string JsonString(std::string_view utf8) {
  std::string literal = "\"";
  for (const char c : utf8) {
    switch (c) {
      case '"':
        literal += "\\\"";
        break;
      case '\\':
        literal += "\\\\";
        break;
      case '\n':
        literal += "\\n";
        break;
      case '\r':
        literal += "\\r";
        break;
      case '\t':
        literal += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          std::array<char, 8> escape{};
          std::snprintf(escape.data(), escape.size(), "\\u%04x", static_cast<unsigned char>(c));
          literal += escape.data();
        } else {
          literal += c;
        }
    }
  }
  return literal + '"';
}

DataCell NumberCell(std::string text) {
  return {DataCell::Type::Number, std::move(text)};
}

DataCell TextCell(std::string_view utf8) {
  return utf8.empty() ? DataCell{} : DataCell{DataCell::Type::Text, std::string(utf8)};
}

DataCell FlagCell(bool set) {
  return NumberCell(set ? "1" : "0");
}

std::string CsvLine(std::span<const DataCell> cells) {
  std::string line;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    line += i > 0 ? "," : "";
    line += CsvField(cells[i].text);
  }
  return line + '\n';
}

std::string JsonMembers(std::span<const std::string_view> names, std::span<const DataCell> cells,
                        std::string_view separator) {
  std::string members;
  for (std::size_t i = 0; i < cells.size() && i < names.size(); ++i) {
    members += i > 0 ? separator : "";
    members += JsonString(names[i]) + ": ";
    switch (cells[i].type) {
      case DataCell::Type::Empty:
        members += "null";
        break;
      case DataCell::Type::Number:
        members += cells[i].text;
        break;
      case DataCell::Type::Text:
        members += JsonString(cells[i].text);
        break;
    }
  }
  return members;
}

}  // namespace klxr
