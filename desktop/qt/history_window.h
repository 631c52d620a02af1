// "History": the surveys of the archive in a table, sorted by a click on a column's heading (again
// to turn the order around), with the actions on the survey selected: Open, Label..., Export...
// (in the format chosen beside it), Compare... and Forget; Close, Escape or the close box end it.
// The actions are grayed while no survey is selected. Enter and a double click open the survey.
// What each action does is the core's (desktop/history_flow.h); the window asks the user for it.
// Where the build has a team archive, Push and Pull run on a worker thread behind a progress dialog
// whose Cancel stops them between surveys; they are grayed while no team archive is named.
#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "desktop/history_flow.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace klxr {

class HistoryWindow : public QDialog, public HistoryView {
  Q_OBJECT

 public:
  HistoryWindow(HistoryCommands& history, QWidget* owner);

  // HistoryView.
  bool AskLabel(std::string& site, std::string& note) override;
  bool ChooseFile(ChooserRequest& request, const ChooserCommand& command,
                  MessageBoxes& boxes) override;
  void ShowComparison(const ComparisonTable& table) override;

  QTableWidget& Table() const { return *table_; }
  QComboBox& ExportFormat() const { return *format_; }
  QLabel& Status() const { return *status_; }
  QPushButton& Button(int controlId) const;
  // The survey of the row selected; none while no row is.
  std::optional<archive::SurveyId> Selected() const;
  // Selects the survey's row; false when it is not listed.
  bool Select(archive::SurveyId id);
  // As a click on the heading of the column.
  void OnHeadingClicked(int section);

 private:
  // Reads the rows afresh and shows them sorted, the survey given selected (else the first).
  void Reload(std::optional<archive::SurveyId> keep);
  void Fill();
  void UpdateButtons();
  void Act(HistoryAction action);
  void Sync(TeamSyncKind kind);
  // The text, with the reason the team's surveys are missing on a line of its own.
  void SetStatus(const std::string& text);

  HistoryCommands& history_;
  std::vector<HistoryRow> rows_;
  HistoryColumn sortedBy_ = HistoryColumn::Date;
  bool ascending_ = false;
  QTableWidget* table_;
  QComboBox* format_;
  QLabel* status_;
  std::vector<QPushButton*> actions_;
  std::vector<QPushButton*> syncs_;
};

// Shows the window modally over its owner until the user closes it.
void RunHistoryWindow(HistoryCommands& history, QWidget* owner);

}  // namespace klxr
