#include "desktop/automation_report.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>

namespace klxr {

std::optional<std::string> ReportFileFromEnvironment() {
  const char* file = std::getenv(kAutomationReportVariable);
  if (file == nullptr || *file == '\0') {
    return std::nullopt;
  }
  return std::string(file);
}

AutomationReport::AutomationReport(const std::optional<std::string>& file)
    : standardOutput_(&std::cout) {
  if (!file) {
    return;
  }
  errno = 0;
  file_.open(std::filesystem::path(*file), std::ios::out | std::ios::trunc | std::ios::binary);
  if (!file_.is_open()) {
    const int error = errno;
    problem_ = "cannot create the report file " + *file +
               (error != 0 ? std::string(": ") + std::strerror(error) : std::string());
  }
}

}  // namespace klxr
