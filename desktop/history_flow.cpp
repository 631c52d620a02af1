#include "desktop/history_flow.h"

#include <cctype>
#include <cstdlib>
#include <utility>

#include "archive/archive_location.h"
#include "desktop/application.h"
#include "desktop/command_table.h"
#include "link/log_download.h"
#include "log/record_values.h"

namespace klxr {
namespace {

std::string SurveyName(archive::SurveyId id) {
  return IsTeamOnly(id) ? "team survey " + std::to_string(-id) : "survey " + std::to_string(id);
}

// The survey's id as its Survey column shows it.
std::string SurveyLabel(archive::SurveyId id) {
  return IsTeamOnly(id) ? "T" + std::to_string(-id) : std::to_string(id);
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// "Before: survey 12, read 2026-03-14 10:26 at Hill Road 4. After: the log now loaded."
std::string ComparisonTitle(const archive::SurveySummary& survey) {
  std::string title = "Before: " + SurveyName(survey.id) + ", read " +
                      LocalReadTime(survey.readUtc, survey.timeZone);
  if (!survey.site.empty()) {
    title += " at " + survey.site;
  }
  return title + ". After: the log now loaded.";
}

}  // namespace

std::vector<HistoryRow> HistoryFlow::Rows() {
  auto surveys = archive_.List();
  if (!surveys) {
    Problem("The survey archive cannot be listed.", surveys.Problem());
    return {};
  }
  std::vector<HistoryRow> rows = RowsOf(surveys.Value());
  teamNote_ = team_.problem;
  if (TeamNamed()) {
    if (const auto team = TeamSurveys()) {
      AddTeamRows(rows, *team);
    }
  }
  return rows;
}

std::optional<TeamSyncJob> HistoryFlow::SyncJob(TeamSyncKind kind) const {
  if (!TeamNamed()) {
    return std::nullopt;
  }
  return TeamSyncJob{kind, file_, team_.connection, {}};
}

archive::TeamArchive* HistoryFlow::Team() {
  if (!teamArchive_) {
    auto opened = archive::TeamArchive::Open(WithConnectTimeout(team_.connection, 10));
    if (!opened) {
      teamNote_ = "The team's surveys are not shown: " + opened.Problem();
      return nullptr;
    }
    teamArchive_ = std::move(opened).Value();
  }
  return teamArchive_.get();
}

std::optional<std::vector<archive::SurveySummary>> HistoryFlow::TeamSurveys() {
  archive::TeamArchive* team = Team();
  if (team == nullptr) {
    return std::nullopt;
  }
  auto listed = team->List({});
  if (!listed) {
    // The connection may have been lost: the next refresh connects afresh.
    teamArchive_.reset();
    teamNote_ = "The team's surveys are not shown: " + listed.Problem();
    return std::nullopt;
  }
  std::vector<archive::SurveySummary> surveys;
  surveys.reserve(listed.Value().size());
  for (const archive::TeamSurvey& survey : listed.Value()) {
    surveys.push_back(survey.survey);
  }
  return surveys;
}

CommandOutcome HistoryFlow::Open(archive::SurveyId id) {
  const std::optional<archive::SurveySummary> survey = Find(id);
  std::optional<LogImage> image = survey ? ImageOf(id) : std::nullopt;
  if (!image) {
    return LastProblem();
  }
  AppState& state = app_.State();
  // A download still running would go on storing meter records into the opened log.
  if (state.Link.Download.DownloadRunning) {
    AbandonDownload(state.Link, app_.Window());
  }
  state.Image = *image;
  const std::optional<std::chrono::sys_seconds> read = ReadUtcTime(survey->readUtc);
  state.ImageOrigin = {
      survey->source == archive::SourceName(archive::SurveySource::kRead),
      read ? std::optional<std::chrono::system_clock::time_point>(*read) : std::nullopt};
  // The title names the local survey that holds the log; a team survey is none.
  state.LastSurvey = IsTeamOnly(id) ? std::nullopt : std::optional<archive::SurveyId>(id);
  if (DesktopWindow* window = app_.Window()) {
    window->SetViewEnabled(true);
    window->RequestRepaint(true);
  }
  app_.RefreshTitle();
  return {OutcomeKind::Done, {}, {}};
}

CommandOutcome HistoryFlow::Label(archive::SurveyId id, HistoryView& view) {
  if (IsTeamOnly(id)) {
    return Problem("Only local surveys can be labelled.",
                   SurveyName(id) + " is only in the team archive: pull it first.");
  }
  const std::optional<archive::SurveySummary> survey = Find(id);
  if (!survey) {
    return LastProblem();
  }
  std::string site = survey->site;
  std::string note = survey->note;
  if (!view.AskLabel(site, note)) {
    return {OutcomeKind::Cancelled, {}, {}};
  }
  const auto labelled = archive_.Label(id, Trimmed(site), Trimmed(note));
  if (!labelled) {
    return Problem("The site and note of " + SurveyName(id) + " could not be kept.",
                   labelled.Problem());
  }
  return {OutcomeKind::Done, {}, {}};
}

CommandOutcome HistoryFlow::Export(archive::SurveyId id, HistoryExportFormat format,
                                   HistoryView& view) {
  const std::optional<archive::SurveySummary> survey = Find(id);
  const std::optional<LogImage> image = survey ? ImageOf(id) : std::nullopt;
  if (!image) {
    return LastProblem();
  }
  AppState& state = app_.State();
  if (!view.ChooseFile(state.Chooser, ExportChoice(format).chooser, app_.Boxes())) {
    return {OutcomeKind::Cancelled, {}, {}};
  }
  const std::string path = state.Chooser.ChosenPath;
  const SurveyFacts facts{SurveyLabel(id), survey->readUtc, survey->site};
  app_.Boxes().Forget();
  if (WriteSurveyExport(*image, format, facts, path, app_.Boxes(), state.QuietMode) != 0) {
    return FailureOutcome(app_, path, true);
  }
  return {OutcomeKind::Done, path, {}};
}

CommandOutcome HistoryFlow::Compare(archive::SurveyId id, HistoryView& view) {
  const LogImage& loaded = app_.State().Image;
  if (CountRecords(loaded, nullptr) == 0) {
    ShowMessage(app_.Boxes(), msg::kNoLoggingData, BoxKind::Error);
    return {};
  }
  const std::optional<archive::SurveySummary> survey = Find(id);
  const std::optional<LogImage> image = survey ? ImageOf(id) : std::nullopt;
  if (!image) {
    return LastProblem();
  }
  const SurveyComparison comparison =
      CompareSurveys(RecordValuesOf(*image), RecordValuesOf(loaded), CompareThresholds{});
  view.ShowComparison(MakeComparisonTable(comparison, ComparisonTitle(*survey)));
  return {OutcomeKind::Done, {}, {}};
}

CommandOutcome HistoryFlow::Forget(archive::SurveyId id) {
  if (IsTeamOnly(id)) {
    return Problem("Only local surveys can be forgotten.",
                   SurveyName(id) + " is in the team archive, whose surveys are kept for good.");
  }
  const std::string question = "Forget " + SurveyName(id) +
                               "? Its log and records are removed from the survey archive for "
                               "good.";
  if (app_.Boxes().AskDefaultNo(msg::kOwnText, question) != Answer::Yes) {
    return {OutcomeKind::Cancelled, {}, {}};
  }
  const auto forgotten = archive_.Forget(id);
  if (!forgotten) {
    return Problem(SurveyName(id) + " could not be forgotten.", forgotten.Problem());
  }
  AppState& state = app_.State();
  if (state.LastSurvey == id) {
    state.LastSurvey.reset();
    app_.RefreshTitle();
  }
  return {OutcomeKind::Done, {}, {}};
}

std::optional<archive::SurveySummary> HistoryFlow::Find(archive::SurveyId id) {
  if (IsTeamOnly(id)) {
    archive::TeamArchive* team = Team();
    auto found = team ? team->Find(std::to_string(-id))
                      : archive::ArchiveResult<archive::TeamSurvey>::Failure(teamNote_);
    if (!found) {
      Problem("The team archive has no " + SurveyName(id) + ".", found.Problem());
      return std::nullopt;
    }
    archive::SurveySummary survey = found.Value().survey;
    survey.id = id;
    return survey;
  }
  auto found = archive_.Find(std::to_string(id));
  if (!found) {
    Problem("The survey archive has no " + SurveyName(id) + ".", found.Problem());
    return std::nullopt;
  }
  return std::move(found).Value();
}

std::optional<LogImage> HistoryFlow::ImageOf(archive::SurveyId id) {
  archive::TeamArchive* team = IsTeamOnly(id) ? Team() : nullptr;
  auto image = !IsTeamOnly(id) ? archive_.Image(id)
               : team          ? team->Image(-id)
                               : archive::ArchiveResult<LogImage>::Failure(teamNote_);
  if (!image) {
    Problem("The log of " + SurveyName(id) + " cannot be read from the survey archive.",
            image.Problem());
    return std::nullopt;
  }
  return std::move(image).Value();
}

CommandOutcome HistoryFlow::Problem(const std::string& text, const std::string& detail) {
  std::string sentence = text;
  sentence.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(sentence.front())));
  app_.Boxes().ShowDetailed(msg::kOwnText, sentence, BoxKind::Error, detail);
  problem_ = detail;
  return LastProblem();
}

CommandOutcome HistoryFlow::LastProblem() const {
  return {OutcomeKind::Failed, {}, problem_};
}

std::string HistoryStatus(std::size_t surveys) {
  return std::to_string(surveys) + (surveys == 1 ? " survey" : " surveys");
}

std::string HistoryStatus(std::size_t surveys, HistoryAction action, archive::SurveyId id,
                          const CommandOutcome& outcome) {
  if (outcome.kind != OutcomeKind::Done) {
    return HistoryStatus(surveys);
  }
  std::string done;
  switch (action) {
    case HistoryAction::Open:
      done = " opened as the log";
      break;
    case HistoryAction::Label:
      done = " labelled";
      break;
    case HistoryAction::Export:
      done = " exported to " + outcome.file;
      break;
    case HistoryAction::Compare:
      done = " compared with the log";
      break;
    case HistoryAction::Forget:
      done = " forgotten";
      break;
  }
  return HistoryStatus(surveys) + "; " + SurveyName(id) + done;
}

CommandOutcome OnHistory(Application& app) {
  const std::string& file = app.ArchiveFile();
  if (file.empty()) {
    const std::string text = std::string(kNoHistoryText) +
                             (archive::ArchiveAvailable() ? std::string(kHistoryTurnedOffText)
                                                          : std::string(archive::kNoArchiveText)) +
                             ".";
    app.Boxes().Show(msg::kOwnText, text, BoxKind::Information);
    return {OutcomeKind::Failed, {}, text};
  }
  std::string problem = archive::PrepareArchiveFolder(file);
  std::unique_ptr<archive::SurveyArchive> opened;
  if (problem.empty()) {
    auto archive = archive::SurveyArchive::Open(file);
    if (archive) {
      opened = std::move(archive).Value();
    } else {
      problem = archive.Problem();
    }
  }
  if (!opened) {
    app.Boxes().ShowDetailed(msg::kOwnText, kArchiveCannotOpenText, BoxKind::Error,
                             file + ": " + problem);
    return {OutcomeKind::Failed, file, problem};
  }
  const char* environment = std::getenv(archive::kTeamArchiveVariable);
  HistoryFlow flow(app, *opened, file,
                   ChooseTeamArchive(app.Setting(kTeamArchiveSetting), environment));
  app.Shell().RunHistoryWindow(flow);
  return {OutcomeKind::Done, file, {}};
}

}  // namespace klxr
