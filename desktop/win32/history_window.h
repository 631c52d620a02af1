// "History" on Windows: the surveys of the archive in a list view (report view), sorted by a click
// on a column's heading (again to turn the order around, the heading showing the order), with the
// actions on the survey selected: Open, Label..., Export... (in the format chosen below it),
// Compare... and Forget; Close or Escape end it. The actions are grayed while no survey is
// selected; Enter and a double click open the survey. The dialog is built in code (code_dialog.h):
// the resource tables have no list view. What each action does is the core's
// (desktop/history_flow.h); the window asks the user for it.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "desktop/history_flow.h"
#include "desktop/win32/code_dialog.h"

namespace klxr::win32 {

// The window's description, in dialog units.
const CodeDialog& HistoryDialog();

class HistoryWindow : public HistoryView {
 public:
  HistoryWindow(HINSTANCE instance, HistoryCommands& history)
      : instance_(instance), history_(history) {}

  // Shows the window modally over its owner until the user closes it.
  void Run(HWND owner);
  // Makes the window modeless (tests); null when it cannot be made.
  HWND Create(HWND owner);
  HWND Handle() const { return window_; }

  // HistoryView.
  bool AskLabel(std::string& site, std::string& note) override;
  bool ChooseFile(ChooserRequest& request, const ChooserCommand& command,
                  MessageBoxes& boxes) override;
  void ShowComparison(const ComparisonTable& table) override;

  // The survey of the row selected; none while no row is.
  std::optional<archive::SurveyId> Selected() const;
  // As a click on the heading of the column.
  void OnHeadingClicked(int column);

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnNotify(const NMHDR& header);
  void Initialise();
  // Reads the rows afresh and shows them sorted, the survey given selected (else the row at the
  // place selected before, else the first).
  void Reload(std::optional<archive::SurveyId> keep);
  void Fill();
  bool Select(archive::SurveyId id);
  void SelectRow(int row);
  void ShowSortMark();
  void UpdateButtons();
  void Act(HistoryAction action);

  HINSTANCE instance_;
  HistoryCommands& history_;
  HWND window_ = nullptr;
  HWND list_ = nullptr;
  std::vector<HistoryRow> rows_;
  HistoryColumn sortedBy_ = HistoryColumn::Date;
  bool ascending_ = false;
};

void RunHistoryWindow(HINSTANCE instance, HWND owner, HistoryCommands& history);

}  // namespace klxr::win32
