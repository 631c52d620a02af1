// The report of a measurement log for the customer: a PDF document with a header, a summary of the
// records by kind and status, charts of the level, MER and BER of the records, and the full table
// of records as the log viewer lists them; and, when an earlier log is given, what changed since.
// With Qt Gui it is painted through Qt and needs a QGuiApplication (the offscreen platform will
// do); without, the report writes the PDF document itself.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "log/log_image.h"
#include "log/record_format.h"
#include "report/canvas.h"

namespace klxr::report {

// The texts of the options are UTF-8.
struct ReportOptions {
  std::string title = "Measurement log";
  std::string site{};       // no line when empty
  std::string installer{};  // no line when empty
  std::string date{};       // the date printed; empty for today's, as YYYY-MM-DD
  // The modification time of the log's file; none: not known.
  std::optional<std::chrono::system_clock::time_point> logFileTime{};
  bool logReadFromMeter = false;   // the log came from a Read of the meter, not from a file
  std::uint8_t units = kUnitsDbm;  // kUnitsDbm or kUnitsDbuv, as FormatRecord takes them
  bool letter = false;             // US Letter paper instead of A4
  // An earlier log of the site: when given, pages of what changed since it follow the records.
  const LogImage* before = nullptr;
  std::string beforeName{};  // how the report names it: its file, or its survey in the archive
};

// The PDF document of the counted records of the image.
std::string RenderReport(const LogImage& image, const ReportOptions& options);

// The page of the options' paper, in points: A4 595 x 842, Letter 612 x 792.
Rect PaperRect(const ReportOptions& options);

// Paints the report's pages on canvas, whose pages are page; the canvas is on the first page and
// is moved on to each next one.
void PaintReport(Canvas& canvas, const Rect& page, const LogImage& image,
                 const ReportOptions& options);

// A time as the report prints it, in local time by format (as strftime takes it).
std::string LocalTimeText(std::chrono::system_clock::time_point time, const char* format);

}  // namespace klxr::report
