// klxr-log-cli history: the survey archive from the command line. The listing and the views are
// in command_history.cpp, the commands that change the archive or write a survey out in
// history_changes.cpp.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/survey_archive.h"
#include "cli/cli_command.h"

namespace klxr::cli {

// Opens the archive (KLXR_ARCHIVE, or the user's), creating its folder; null after the reason was
// told on standard error.
std::unique_ptr<archive::SurveyArchive> OpenHistoryArchive(CliContext& context);

// The survey the name gives (an id or a hash prefix); none after the reason was told.
std::optional<archive::SurveySummary> FindSurvey(archive::SurveyArchive& archive,
                                                 const std::string& name, CliContext& context);

// The survey's facts as one JSON object.
std::string SurveyJson(const archive::SurveySummary& survey);

// One record of a channel's history: a JSON object, or a tab-separated line.
std::string ReadingJson(const archive::ChannelReading& reading);
std::string ReadingText(const archive::ChannelReading& reading);

// Tells an archive problem on standard error; returns kExitFailure.
int ReportHistoryProblem(CliContext& context, const std::string& problem);

// The subcommands, with the arguments after their name.
int HistoryExport(const std::vector<std::string>& arguments, CliContext& context);
int HistoryLabel(const std::vector<std::string>& arguments, CliContext& context);
int HistoryImport(const std::vector<std::string>& arguments, CliContext& context);
int HistoryForget(const std::vector<std::string>& arguments, CliContext& context);
// The team archive: "team init", "push", "pull", and "--team" before the listing and its views.
int HistoryTeam(const std::vector<std::string>& arguments, CliContext& context);
int HistoryPush(const std::vector<std::string>& arguments, CliContext& context);
int HistoryPull(const std::vector<std::string>& arguments, CliContext& context);
int TeamHistory(const std::vector<std::string>& arguments, CliContext& context);

// A survey lookup for "compare": an operand that names a survey of the archive.
SurveyLookup ArchiveSurveyLookup();

}  // namespace klxr::cli
