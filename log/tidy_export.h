// The log as data for analysis: tidy CSV (one row per record, a header row, numbers as plain
// numbers with the unit in the column name, range marks as 0/1 columns of their own, an empty cell
// where a field does not apply) and JSON (the survey's facts and a "records" array of objects with
// the same names, null where a field does not apply). Both are UTF-8: the log's Latin-1 names are
// converted. The CSV's lines end in LF alone, as data tools on every platform read them.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "log/file_hooks.h"
#include "log/log_image.h"
#include "resources/message_catalogue.h"

namespace klxr {

// What is known of the survey a log came from, as UTF-8 texts; empty when not known.
struct SurveyFacts {
  std::string surveyId;
  std::string readTime;  // ISO 8601, e.g. "2026-03-14T09:26:53Z"
  std::string site;
};

// The names of the tidy CSV's columns, in order: the survey's facts, then the record's fields.
std::span<const std::string_view> TidyColumnNames();

// The tidy CSV of every counted record of the image, header row first.
std::string MakeTidyCsvText(const LogImage& image, const SurveyFacts& facts);

// The JSON document of every counted record of the image, ended by a line end.
std::string MakeRecordsJsonText(const LogImage& image, const SurveyFacts& facts);

// Write those texts to the file at path, replacing it as every file of the program is replaced.
// Results and reports as for SaveLogFile: 0 when written, -1 with "Can't save program image".
int ExportTidyCsv(const LogImage& image, const SurveyFacts& facts, const std::string& path,
                  MessageBoxes& boxes, bool quietMode, const FileHooks& hooks = {});
int ExportRecordsJson(const LogImage& image, const SurveyFacts& facts, const std::string& path,
                      MessageBoxes& boxes, bool quietMode, const FileHooks& hooks = {});

}  // namespace klxr
