// What the "History" window does, apart from drawing it: the surveys of the archive as rows, and
// the actions on the one selected. With a team archive named, its surveys are rows too, and
// Push and Pull move surveys between the two on a worker thread. Open puts its log into the program
// as Load does a file; Label sets its site and note; Export writes it as a file of a chosen format;
// Compare sets it beside the log now loaded; Forget removes it after a question. Each action tells
// its problems in boxes and returns what it came to. The window of each shell asks the user through
// a HistoryView.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/survey_archive.h"
#include "desktop/chooser_command.h"
#include "desktop/chooser_request.h"
#include "desktop/command_outcome.h"
#include "desktop/comparison_table.h"
#include "desktop/history_export.h"
#include "desktop/history_rows.h"
#include "desktop/history_team.h"

namespace klxr {

class Application;

// What the window shows and asks for an action. Texts are UTF-8.
class HistoryView {
 public:
  // The label dialog, filled with the survey's site and note; false when cancelled.
  virtual bool AskLabel(std::string& site, std::string& note) = 0;
  // The file chooser over the window, as DesktopDialogs::RunFileChooser runs it.
  virtual bool ChooseFile(ChooserRequest& request, const ChooserCommand& command,
                          MessageBoxes& boxes) = 0;
  // The comparison's table in a dialog of its own, until the user closes it.
  virtual void ShowComparison(const ComparisonTable& table) = 0;

 protected:
  ~HistoryView() = default;
};

// The window's rows and actions; each action takes the selected survey's id.
class HistoryCommands {
 public:
  virtual ~HistoryCommands() = default;
  // Every survey, newest first, read afresh; none when the archive fails (told in a box).
  virtual std::vector<HistoryRow> Rows() = 0;
  virtual CommandOutcome Open(archive::SurveyId id) = 0;
  virtual CommandOutcome Label(archive::SurveyId id, HistoryView& view) = 0;
  virtual CommandOutcome Export(archive::SurveyId id, HistoryExportFormat format,
                                HistoryView& view) = 0;
  virtual CommandOutcome Compare(archive::SurveyId id, HistoryView& view) = 0;
  virtual CommandOutcome Forget(archive::SurveyId id) = 0;

  // Why the last Rows lack the team's surveys, for the status line; empty when they are there or
  // no team archive is named.
  virtual std::string TeamNote() const { return {}; }
  // True when a team archive is named, so that Push and Pull may run.
  virtual bool TeamNamed() const { return false; }
  // A push of every local survey the team lacks, or a pull of every team survey the local archive
  // lacks, to run on a worker thread (RunTeamSync); none when no team archive is named.
  virtual std::optional<TeamSyncJob> SyncJob(TeamSyncKind) const { return std::nullopt; }
};

enum class HistoryAction { Open, Label, Export, Compare, Forget };

// The window's status line: how many surveys it lists ("1 survey", "3 surveys"), then what the
// last action did ("survey 12 exported to /home/sam/hill.csv"); only the count when it did nothing.
std::string HistoryStatus(std::size_t surveys, HistoryAction action, archive::SurveyId id,
                          const CommandOutcome& outcome);
std::string HistoryStatus(std::size_t surveys);

// The box that says the history cannot be shown because the program keeps no archive.
inline constexpr char kNoHistoryText[] = "The survey history is not available: ";
inline constexpr char kHistoryTurnedOffText[] =
    "keeping surveys is turned off (the setting ArchiveSurveys is 0)";
inline constexpr char kArchiveCannotOpenText[] = "The survey archive cannot be opened.";

class HistoryFlow : public HistoryCommands {
 public:
  // The archive is the one in the file (for the worker's own connection); the team archive as
  // chosen by ChooseTeamArchive.
  HistoryFlow(Application& app, archive::SurveyArchive& archive, std::string file = {},
              TeamArchiveChoice team = {})
      : app_(app), archive_(archive), file_(std::move(file)), team_(std::move(team)) {}

  // The local surveys, and the team's beside them (a team that cannot be reached: TeamNote).
  std::vector<HistoryRow> Rows() override;
  std::string TeamNote() const override { return teamNote_; }
  bool TeamNamed() const override { return !team_.connection.empty(); }
  std::optional<TeamSyncJob> SyncJob(TeamSyncKind kind) const override;
  // Open, Export and Compare of a survey only the team has read it from the team archive; Label
  // and Forget act on local surveys only.
  // The log image becomes the survey's: a Read still running is dropped first, View is enabled,
  // the window repainted, the log's origin and the title's survey are the survey's.
  CommandOutcome Open(archive::SurveyId id) override;
  CommandOutcome Label(archive::SurveyId id, HistoryView& view) override;
  CommandOutcome Export(archive::SurveyId id, HistoryExportFormat format,
                        HistoryView& view) override;
  // The survey before, the log now loaded after; "No logging data present" when it has no record.
  CommandOutcome Compare(archive::SurveyId id, HistoryView& view) override;
  // After a question whose default is No. The title forgets the survey when it showed it.
  CommandOutcome Forget(archive::SurveyId id) override;

 private:
  // The survey, or none after a box that says why.
  std::optional<archive::SurveySummary> Find(archive::SurveyId id);
  std::optional<LogImage> ImageOf(archive::SurveyId id);
  // Tells the problem in a box: what could not be done, and the archive's reason as its detail.
  CommandOutcome Problem(const std::string& text, const std::string& detail);
  // The failure of the problem told last.
  CommandOutcome LastProblem() const;
  // The team archive's connection, opened when first needed; null after a note that says why.
  archive::TeamArchive* Team();
  std::optional<std::vector<archive::SurveySummary>> TeamSurveys();

  Application& app_;
  archive::SurveyArchive& archive_;
  std::string file_;
  TeamArchiveChoice team_;
  std::unique_ptr<archive::TeamArchive> teamArchive_;
  std::string teamNote_;
  std::string problem_;
};

}  // namespace klxr
