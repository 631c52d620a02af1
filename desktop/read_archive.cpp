#include "desktop/read_archive.h"

#include <chrono>
#include <cstring>

#include "archive/archive_location.h"
#include "archive/survey_archive.h"

namespace klxr {
namespace {

std::optional<std::string> AdapterSerial(const ComAccess* port) {
  if (port == nullptr) {
    return std::nullopt;
  }
  const auto& buffer = port->SerialNumberBuf;
  std::string serial(buffer.data(), strnlen(buffer.data(), buffer.size()));
  return serial.empty() ? std::nullopt : std::optional<std::string>(std::move(serial));
}

}  // namespace

std::optional<archive::SurveyId> ReadArchiver::Archive(const LogImage& image, bool complete,
                                                       const ComAccess* port, MessageBoxes& boxes) {
  if (file_.empty() || (!complete && CountRecords(image, nullptr) == 0)) {
    return std::nullopt;
  }
  archive::SurveyFacts facts;
  facts.seen = std::chrono::system_clock::now();
  facts.complete = complete;
  facts.adapterSerial = AdapterSerial(port);
  std::string problem = archive::PrepareArchiveFolder(file_);
  if (problem.empty()) {
    auto opened = archive::SurveyArchive::Open(file_);
    if (opened) {
      const auto stored = opened.Value()->Store(image, facts);
      if (stored) {
        return stored.Value().id;
      }
      problem = stored.Problem();
    } else {
      problem = opened.Problem();
    }
  }
  if (!problemTold_) {
    problemTold_ = true;
    boxes.ShowDetailed(msg::kOwnText, kArchiveProblemText, BoxKind::Information, problem);
  }
  return std::nullopt;
}

std::string ProgramArchiveFile(const std::optional<std::string>& setting) {
  if (!archive::ArchiveAvailable() || (setting && *setting == "0")) {
    return {};
  }
  return archive::ArchiveFile();
}

}  // namespace klxr
