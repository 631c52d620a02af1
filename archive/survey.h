// A survey: one log image kept in the archive, with the facts of where it came from.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "log/record_values.h"

namespace klxr::archive {

using SurveyId = std::int64_t;

// How the image reached the archive: read from a meter, loaded from a .tlg file by the desktop
// program, or imported by "history import".
enum class SurveySource { kRead, kLoad, kImport };

std::string_view SourceName(SurveySource source);

// What the caller knows when it stores an image.
struct SurveyFacts {
  std::chrono::system_clock::time_point seen;  // when it was read (or the file's time)
  SurveySource source = SurveySource::kRead;
  bool complete = true;                      // false: a Read that failed part-way
  std::optional<std::string> meterVersion;   // the meter's version text, when it was asked
  std::optional<std::string> adapterSerial;  // the USB lead's serial number, when read from a meter
  std::string site;                          // empty: no site given
};

// The outcome of storing an image: its survey, and whether the archive held it already.
struct StoredSurvey {
  SurveyId id = 0;
  bool isNew = false;
};

// One survey as listed, without its image.
struct SurveySummary {
  SurveyId id = 0;
  std::string sha256;
  std::string readUtc;   // 'YYYY-MM-DDTHH:MM:SSZ', the first time it was seen
  std::string timeZone;  // the computer's offset from UTC then, '+01:00'
  std::optional<std::string> meterVersion;
  std::optional<std::string> adapterSerial;
  std::string source;  // 'read', 'load' or 'import'
  int recordCount = 0;
  bool complete = false;
  std::string site;
  std::string note;
  int sightings = 0;  // how many times the image was seen
  // When the site and note were last changed, 'YYYY-MM-DDTHH:MM:SS.mmmZ'; empty: never labelled.
  std::string labelChangedUtc;
};

// A site and note that a later change replaced, kept in the survey's label history.
struct LabelChange {
  std::string site;
  std::string note;
  std::string changedUtc;   // when that value was set
  std::string replacedUtc;  // when the later one replaced it
  std::string replacedBy;   // what replaced it: 'local' or 'team'
};

// One time a survey's image was seen.
struct Sighting {
  std::string seenUtc;
  std::string timeZone;
  std::string source;
};

// One record of a channel in one survey, for the channel's history.
struct ChannelReading {
  SurveyId survey = 0;
  std::string readUtc;
  std::string site;
  RecordValues values;  // texts in UTF-8
};

}  // namespace klxr::archive
