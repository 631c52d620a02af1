#include "archive/archive_import.h"

#include <filesystem>
#include <utility>

namespace klxr::archive {

SurveyFacts ImportFacts(const std::string& path, std::string site) {
  SurveyFacts facts;
  facts.source = SurveySource::kImport;
  facts.site = std::move(site);
  std::error_code error;
  const std::filesystem::file_time_type modified =
      std::filesystem::last_write_time(std::filesystem::path(path), error);
  facts.seen = error ? std::chrono::system_clock::now()
                     : std::chrono::time_point_cast<std::chrono::system_clock::duration>(
                           std::chrono::file_clock::to_sys(modified));
  return facts;
}

}  // namespace klxr::archive
