// Writing a report file through the program's safe whole-file writer, with the same reports as
// the CSV export.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "report/report_writer.h"
#include "resources/message_catalogue.h"

namespace klxr::report {

// Renders the report of the image and replaces the file at path by it. Returns 0 when written; -1
// when the file cannot be created ("Can't save program image", not in quiet mode) or a write fails
// ("Can't save program image", also in quiet mode); an earlier file of that name is then left as
// it was.
int SaveReport(const LogImage& image, const ReportOptions& options, const std::string& path,
               MessageBoxes& boxes, bool quietMode);

}  // namespace klxr::report
