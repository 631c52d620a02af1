// The archive of a build without SQLite: it cannot be opened, and says so.
#include "archive/survey_archive.h"

namespace klxr::archive {

struct SurveyArchive::Connection {};

bool ArchiveAvailable() {
  return false;
}

SurveyArchive::SurveyArchive(std::unique_ptr<Connection> connection)
    : connection_(std::move(connection)) {}

SurveyArchive::~SurveyArchive() = default;

ArchiveResult<std::unique_ptr<SurveyArchive>> SurveyArchive::Open(const std::string&) {
  return ArchiveResult<std::unique_ptr<SurveyArchive>>::Failure(std::string(kNoArchiveText));
}

ArchiveResult<StoredSurvey> SurveyArchive::Store(const LogImage&, const SurveyFacts&) {
  return ArchiveResult<StoredSurvey>::Failure(std::string(kNoArchiveText));
}

ArchiveResult<std::vector<SurveySummary>> SurveyArchive::List() {
  return ArchiveResult<std::vector<SurveySummary>>::Failure(std::string(kNoArchiveText));
}

ArchiveResult<SurveySummary> SurveyArchive::Find(std::string_view) {
  return ArchiveResult<SurveySummary>::Failure(std::string(kNoArchiveText));
}

ArchiveResult<std::vector<Sighting>> SurveyArchive::Sightings(SurveyId) {
  return ArchiveResult<std::vector<Sighting>>::Failure(std::string(kNoArchiveText));
}

ArchiveResult<LogImage> SurveyArchive::Image(SurveyId) {
  return ArchiveResult<LogImage>::Failure(std::string(kNoArchiveText));
}

ArchiveResult<Nothing> SurveyArchive::Label(SurveyId, std::string_view,
                                            const std::optional<std::string>&) {
  return ArchiveResult<Nothing>::Failure(std::string(kNoArchiveText));
}

ArchiveResult<StoredSurvey> SurveyArchive::Adopt(const LogImage&, const SurveySummary&) {
  return ArchiveResult<StoredSurvey>::Failure(std::string(kNoArchiveText));
}

ArchiveResult<Nothing> SurveyArchive::ReplaceLabel(SurveyId, const SurveySummary&,
                                                   std::string_view) {
  return ArchiveResult<Nothing>::Failure(std::string(kNoArchiveText));
}

ArchiveResult<std::vector<LabelChange>> SurveyArchive::LabelHistory(SurveyId) {
  return ArchiveResult<std::vector<LabelChange>>::Failure(std::string(kNoArchiveText));
}

ArchiveResult<Nothing> SurveyArchive::Forget(SurveyId) {
  return ArchiveResult<Nothing>::Failure(std::string(kNoArchiveText));
}

ArchiveResult<std::vector<ChannelReading>> SurveyArchive::ChannelHistory(std::string_view) {
  return ArchiveResult<std::vector<ChannelReading>>::Failure(std::string(kNoArchiveText));
}

ArchiveResult<std::size_t> SurveyArchive::VisitChannelHistory(
    std::string_view, const std::function<void(const ChannelReading&)>&) {
  return ArchiveResult<std::size_t>::Failure(std::string(kNoArchiveText));
}

}  // namespace klxr::archive
