// Texts for the files made for analysis (tidy CSV, JSON, comparisons): the log's 8-bit names as
// UTF-8, numbers written the same way whatever the locale (a dot as decimal mark, no thousands
// separators, never NaN), CSV fields quoted only where they must be, JSON strings escaped.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace klxr {

// The log's texts are Latin-1: each byte is the character of that code point. Returns its UTF-8.
std::string Latin1ToUtf8(std::string_view latin1);

// The value rounded to the given number of decimals (0 to 6), trailing zeros dropped:
// 62.05 -> "62.05", 108.750 -> "108.75", -0.5 -> "-0.5", 482.0 -> "482".
std::string DecimalText(double value, int decimals);

// The value rounded to the given number of decimals (0 to 6), all of them kept: 62.0 -> "62.0".
std::string FixedText(double value, int decimals);

// A frequency in kHz as MHz, exactly: 482000 -> "482", 55250 -> "55.25".
std::string MegahertzText(std::uint32_t kilohertz);

// A bit error ratio (a multiple of 1e-8, as the meter counts it) in the shortest form that reads
// back as the same number: 2.5e-06, 0.0001, 0.
std::string BerNumberText(double ber);

// A time as ISO 8601 in UTC, to the second: "2026-03-14T09:26:53Z".
std::string Iso8601Utc(std::chrono::system_clock::time_point time);

// A CSV field after RFC 4180: as it is, or in double quotes (each one inside doubled) when it holds
// a comma, a double quote, a CR or an LF.
std::string CsvField(std::string_view text);

// One value of a row or an object: nothing (an empty CSV cell, JSON null), a number (its text
// as written), or a UTF-8 text (empty text is nothing).
struct DataCell {
  enum class Type { Empty, Number, Text };
  Type type = Type::Empty;
  std::string text;
};

DataCell NumberCell(std::string text);
DataCell TextCell(std::string_view utf8);
DataCell FlagCell(bool set);  // 1 or 0

// The cells as one CSV line (ended by LF).
std::string CsvLine(std::span<const DataCell> cells);
// The cells as the members of a JSON object, "name": value, joined by separator; names[i] names
// cells[i].
std::string JsonMembers(std::span<const std::string_view> names, std::span<const DataCell> cells,
                        std::string_view separator);

// A JSON string literal of UTF-8 text: quotes, backslashes and control characters escaped.
std::string JsonString(std::string_view utf8);

}  // namespace klxr
