// The report of a measurement log for the customer: a PDF document with a header, a summary of the
// records by kind and status, charts of the level, MER and BER of the records, and the full table
// of records as the log viewer lists them. It needs a QGuiApplication (the offscreen platform will
// do).
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "log/log_image.h"
#include "log/record_format.h"

namespace klxr::report {

struct ReportOptions {
  QString title = QStringLiteral("Measurement log");
  QString site{};                  // no line when empty
  QString installer{};             // no line when empty
  QString date{};                  // the date of the report; empty for today's, as YYYY-MM-DD
  std::uint8_t units = kUnitsDbm;  // kUnitsDbm or kUnitsDbuv, as FormatRecord takes them
  bool letter = false;             // US Letter paper instead of A4
};

// The PDF document of the counted records of the image.
QByteArray RenderReport(const LogImage& image, const ReportOptions& options);

}  // namespace klxr::report
