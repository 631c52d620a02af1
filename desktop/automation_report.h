// Where an automated run writes its report lines (the boxes, "print", "frozen", "screenshot"):
// standard output, or, when the environment variable KLXR_AUTOMATION_REPORT names a file, that
// file, created afresh. A program without standard output (a GUI program on Windows) has the lines
// read from the file. Every line is flushed as it is written, so that a script outside sees it at
// once.
#pragma once

#include <fstream>
#include <optional>
#include <ostream>
#include <string>

namespace klxr {

inline constexpr char kAutomationReportVariable[] = "KLXR_AUTOMATION_REPORT";

// The file the variable names; none when it is unset or empty.
std::optional<std::string> ReportFileFromEnvironment();

class AutomationReport {
 public:
  // file: the report file, or none for standard output.
  explicit AutomationReport(const std::optional<std::string>& file);

  // Where the lines go. Writers end each line with std::endl, which flushes it.
  std::ostream& Stream() { return file_.is_open() ? file_ : *standardOutput_; }
  // Why the file could not be created, naming it and the system's reason; empty when it was.
  const std::string& Problem() const { return problem_; }

 private:
  std::ofstream file_;
  std::ostream* standardOutput_;
  std::string problem_;
};

}  // namespace klxr
