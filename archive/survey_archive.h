// The survey archive: every log image the program has read (or was given), kept in one per-user
// SQLite file with its records decoded into typed columns, so that plain SQL answers questions
// across surveys. Every write is one transaction; the file is in WAL mode with foreign keys on,
// and a second program writing at the same time waits up to five seconds. Nothing here throws:
// each operation returns its value or a plain text saying why not.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_result.h"
#include "archive/survey.h"
#include "log/log_image.h"

namespace klxr::archive {

// False in a build without SQLite: then every Open fails with kNoArchiveText.
bool ArchiveAvailable();
inline constexpr std::string_view kNoArchiveText = "this build has no survey archive";

class SurveyArchive {
 public:
  ~SurveyArchive();
  SurveyArchive(const SurveyArchive&) = delete;
  SurveyArchive& operator=(const SurveyArchive&) = delete;

  // Opens the archive file, creating it and its schema when it is new, and brings an older schema
  // up to date.
  static ArchiveResult<std::unique_ptr<SurveyArchive>> Open(const std::string& path);

  // Keeps the image: a new survey with its records, or one more sighting of the survey that holds
  // the same bytes (a complete sighting then marks it complete).
  ArchiveResult<StoredSurvey> Store(const LogImage& image, const SurveyFacts& facts);

  // Every survey, newest first (by the time first seen, then by id).
  ArchiveResult<std::vector<SurveySummary>> List();

  // The survey named by its id, or by a prefix of at least four hexadecimal digits of its hash.
  // Digits alone are an id when a survey has it, else a prefix.
  ArchiveResult<SurveySummary> Find(std::string_view name);

  ArchiveResult<std::vector<Sighting>> Sightings(SurveyId id);
  ArchiveResult<LogImage> Image(SurveyId id);
  // Sets the site, and the note unless none is given.
  ArchiveResult<Nothing> Label(SurveyId id, std::string_view site,
                               const std::optional<std::string>& note);
  // Keeps a survey that another archive holds (the team's), with that archive's facts: its time
  // read, meter, site, note and label time. Its id here is a new one; a survey with the same hash
  // is left as it is.
  ArchiveResult<StoredSurvey> Adopt(const LogImage& image, const SurveySummary& facts);
  // Sets the site and note to a value changed elsewhere at changedUtc, keeping the value it
  // replaces in the survey's label history (replacedBy says what replaced it: "team").
  ArchiveResult<Nothing> ReplaceLabel(SurveyId id, const SurveySummary& label,
                                      std::string_view replacedBy);
  // The values later changes replaced, oldest first.
  ArchiveResult<std::vector<LabelChange>> LabelHistory(SurveyId id);

  // Removes the survey with its records and sightings.
  ArchiveResult<Nothing> Forget(SurveyId id);

  // That channel's records in every survey, oldest survey first: by channel name (case ignored),
  // or by frequency when the text is one ("482", "482.25 MHz", "482250 kHz").
  ArchiveResult<std::vector<ChannelReading>> ChannelHistory(std::string_view channelOrFrequency);
  // The same readings handed to visit one at a time, in the same order, without holding them all:
  // a channel seen at many sites in each of thousands of surveys gives hundreds of thousands.
  // Returns how many were visited.
  ArchiveResult<std::size_t> VisitChannelHistory(
      std::string_view channelOrFrequency, const std::function<void(const ChannelReading&)>& visit);

  struct Connection;

 private:
  explicit SurveyArchive(std::unique_ptr<Connection> connection);
  std::unique_ptr<Connection> connection_;
};

}  // namespace klxr::archive
