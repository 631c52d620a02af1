#include "cli/read_archive.h"

#include <chrono>
#include <cstring>

#include "archive/archive_location.h"
#include "archive/survey_archive.h"

namespace klxr::cli {

void ArchiveReadLog(const LogImage& image, bool complete, const ComAccess* port,
                    CliContext& context) {
  if (!archive::ArchiveAvailable() || (!complete && CountRecords(image, nullptr) == 0)) {
    return;
  }
  archive::SurveyFacts facts;
  facts.seen = std::chrono::system_clock::now();
  facts.source = archive::SurveySource::kRead;
  facts.complete = complete;
  facts.adapterSerial = AdapterSerialOf(port);
  const std::string file = archive::ArchiveFile();
  std::string problem = archive::PrepareArchiveFolder(file);
  if (problem.empty()) {
    auto opened = archive::SurveyArchive::Open(file);
    if (opened) {
      const auto stored = opened.Value()->Store(image, facts);
      if (stored) {
        context.err << "klxr-log-cli read: kept as survey " << stored.Value().id
                    << (stored.Value().isNew ? "" : " (read before)")
                    << (complete ? "" : ", incomplete") << "\n";
        return;
      }
      problem = stored.Problem();
    } else {
      problem = opened.Problem();
    }
  }
  context.err << "klxr-log-cli read: the log was not archived: " << problem << "\n";
}

}  // namespace klxr::cli
