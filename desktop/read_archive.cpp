#include "desktop/read_archive.h"

#include <chrono>
#include <cstring>

#include "archive/archive_location.h"
#include "archive/survey_archive.h"

namespace klxr {
std::optional<archive::SurveyId> ReadArchiver::Archive(const LogImage& image, bool complete,
                                                       const ComAccess* port, MessageBoxes& boxes) {
  if (file_.empty() || (!complete && CountRecords(image, nullptr) == 0)) {
    return std::nullopt;
  }
  archive::SurveyFacts facts;
  facts.seen = std::chrono::system_clock::now();
  facts.complete = complete;
  facts.adapterSerial = AdapterSerialOf(port);
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
