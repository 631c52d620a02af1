// The report of a measurement log for the customer: a PDF document with a header, a summary of the
// records by kind and status, charts of the level, MER and BER of the records, and the full table
// of records as the log viewer lists them; and, when an earlier log is given, what changed since.
// It needs a QGuiApplication (the offscreen platform will do).
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <functional>

#include "log/log_image.h"
#include "log/record_format.h"

class QPainter;

namespace klxr::report {

struct ReportOptions {
  QString title = QStringLiteral("Measurement log");
  QString site{};                  // no line when empty
  QString installer{};             // no line when empty
  QString date{};                  // the date printed; empty for today's, as YYYY-MM-DD
  QDateTime logFileTime{};         // the modification time of the log's file; invalid: not known
  bool logReadFromMeter = false;   // the log came from a Read of the meter, not from a file
  std::uint8_t units = kUnitsDbm;  // kUnitsDbm or kUnitsDbuv, as FormatRecord takes them
  bool letter = false;             // US Letter paper instead of A4
  // An earlier log of the site: when given, pages of what changed since it follow the records.
  const LogImage* before = nullptr;
  QString beforeName{};  // how the report names it: its file, or its survey in the archive
};

// The PDF document of the counted records of the image.
QByteArray RenderReport(const LogImage& image, const ReportOptions& options);

// Paints the report's pages with painter on a device whose pages are page (in points, the
// device's resolution 72 dots an inch); newPage moves the device on to its next page.
void PaintReport(QPainter& painter, const QRectF& page, const std::function<void()>& newPage,
                 const LogImage& image, const ReportOptions& options);

}  // namespace klxr::report
