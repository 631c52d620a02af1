// The "History" window of the Win32 shell over a recording stand-in for the core: its list, the
// sorting by a heading, the actions on the row selected and grayed without one, the comparison's
// dialog, and "&History..." in the main window's File menu.
#include "desktop/win32/history_window.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktop/history_controls.h"
#include "desktop/win32/history_dialogs.h"
#include "desktop/win32/win32_shell.h"
#include "resources/command_ids.h"

namespace klxr::win32 {
namespace {

HistoryRow Row(archive::SurveyId id, const char* utc, const char* site, int records) {
  archive::SurveySummary survey;
  survey.id = id;
  survey.readUtc = utc;
  survey.timeZone = "+01:00";
  survey.site = site;
  survey.recordCount = records;
  survey.complete = true;
  survey.source = "read";
  return RowOf(survey);
}

// Lists its rows newest first and records what the window asks of it.
class RecordingHistory : public HistoryCommands {
 public:
  std::vector<HistoryRow> Rows() override { return rows; }
  CommandOutcome Open(archive::SurveyId id) override { return Note("open", id); }
  CommandOutcome Label(archive::SurveyId id, HistoryView&) override { return Note("label", id); }
  CommandOutcome Export(archive::SurveyId id, HistoryExportFormat format, HistoryView&) override {
    Note("export " + std::to_string(static_cast<int>(format)), id);
    return {OutcomeKind::Done, "C:\\out.json", {}};
  }
  CommandOutcome Compare(archive::SurveyId id, HistoryView&) override {
    return Note("compare", id);
  }
  CommandOutcome Forget(archive::SurveyId id) override {
    std::erase_if(rows, [id](const HistoryRow& row) { return row.survey.id == id; });
    return Note("forget", id);
  }

  std::vector<HistoryRow> rows{Row(3, "2026-05-20T13:40:00Z", "Mill Street", 25),
                               Row(2, "2026-04-11T08:05:00Z", "church lane", 12),
                               Row(1, "2026-03-14T09:26:00Z", "Hill Road", 40)};
  std::vector<std::string> asked;

 private:
  CommandOutcome Note(const std::string& what, archive::SurveyId id) {
    asked.push_back(what + " " + std::to_string(id));
    return {OutcomeKind::Done, {}, {}};
  }
};

std::wstring ItemText(HWND list, int row, int column) {
  wchar_t text[128] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 128;
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return text;
}

std::vector<std::wstring> Column(HWND list, int column) {
  std::vector<std::wstring> texts;
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) {
    texts.push_back(ItemText(list, row, column));
  }
  return texts;
}

// The sort mark of each heading: '^' ascending, 'v' descending, '-' none.
std::string SortMarks(HWND list) {
  const HWND headings = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  std::string marks;
  for (int column = 0; column < static_cast<int>(kHistoryColumns.size()); ++column) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(headings, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
    marks += (item.fmt & HDF_SORTUP) ? '^' : (item.fmt & HDF_SORTDOWN) ? 'v' : '-';
  }
  return marks;
}

class HistoryWindowTest : public ::testing::Test {
 protected:
  HistoryWindowTest() : window_(GetModuleHandleA(nullptr), history_) {
    handle_ = window_.Create(nullptr);
    list_ = GetDlgItem(handle_, history::kList);
  }
  ~HistoryWindowTest() override { DestroyWindow(handle_); }

  void Press(int id) { SendMessageW(handle_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(handle_, id)) != FALSE; }
  std::string Status() const { return ControlText(handle_, history::kStatus); }

  RecordingHistory history_;
  HistoryWindow window_;
  HWND handle_ = nullptr;
  HWND list_ = nullptr;
};

TEST_F(HistoryWindowTest, ListsTheRowsAndSortsByAClickOnAHeading) {
  ASSERT_NE(handle_, nullptr);
  EXPECT_EQ(Column(list_, 0), (std::vector<std::wstring>{L"3", L"2", L"1"}));
  EXPECT_EQ(ItemText(list_, 2, 1), L"2026-03-14 10:26");
  EXPECT_EQ(ItemText(list_, 2, 8), L"local");  // the Windows builds have no team archive
  EXPECT_EQ(SortMarks(list_), "-v-------");
  EXPECT_EQ(window_.Selected(), 3);
  EXPECT_EQ(Status(), "3 surveys");
  const struct {
    int column;
    std::vector<std::wstring> ids;
    const char* marks;
  } kClicks[] = {
      {2, {L"2", L"1", L"3"}, "--^------"},
      {2, {L"3", L"1", L"2"}, "--v------"},
      {4, {L"1", L"3", L"2"}, "----v----"},
      {1, {L"3", L"2", L"1"}, "-v-------"},
  };
  for (const auto& click : kClicks) {
    window_.OnHeadingClicked(click.column);
    EXPECT_EQ(Column(list_, 0), click.ids) << click.column;
    EXPECT_EQ(SortMarks(list_), click.marks);
    EXPECT_EQ(window_.Selected(), 3) << "the selection follows its survey";
  }
}

TEST_F(HistoryWindowTest, ActionsGoToTheSelectedSurveyAndAreGrayedWithoutOne) {
  const int actions[] = {history::kOpen,    history::kLabel,  history::kExport,
                         history::kCompare, history::kForget, history::kExportFormat};
  for (const int id : actions) {
    EXPECT_TRUE(Enabled(id)) << id;
  }
  LVITEMW none{};
  none.stateMask = LVIS_SELECTED;
  SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
  for (const int id : actions) {
    EXPECT_FALSE(Enabled(id)) << id;
  }
  EXPECT_TRUE(Enabled(history::kClose));
  Press(history::kOpen);
  EXPECT_TRUE(history_.asked.empty());

  LVITEMW second{};
  second.stateMask = second.state = LVIS_SELECTED;
  SendMessageW(list_, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&second));
  SendDlgItemMessageW(handle_, history::kExportFormat, CB_SETCURSEL, 3, 0);
  for (const int id : {history::kOpen, history::kLabel, history::kExport, history::kCompare}) {
    Press(id);
  }
  Press(IDOK);  // Enter
  EXPECT_EQ(history_.asked,
            (std::vector<std::string>{"open 2", "label 2", "export 3 2", "compare 2", "open 2"}));
  EXPECT_EQ(Status(), "3 surveys; survey 2 opened as the log");
  Press(history::kForget);
  EXPECT_EQ(Column(list_, 0), (std::vector<std::wstring>{L"3", L"1"}));
  EXPECT_EQ(window_.Selected(), 1) << "the row that took its place";
  EXPECT_EQ(Status(), "2 surveys; survey 2 forgotten");
}

TEST(ComparisonDialogTest, ShowsTheRowsTitleAndSummary) {
  ComparisonTable table;
  table.title =
      "Before: survey 2, read 2026-04-11 09:05 at Stra\xc3\x9f"
      "e 5. After: the log now loaded.";
  table.rows.push_back(
      {"worse", "CH22", "482", "68.75", "66.75", "-2", "30", "30", "0", "", "", "", "PASS"});
  table.rows.push_back(
      {"only after", "CH28", "530", "", "98.75", "", "", "30", "", "", "", "", "PASS"});
  table.verdicts = {Verdict::Worse, Verdict::OnlyAfter};
  table.summary = "0 better, 1 worse, 0 unchanged; 0 only before, 1 only after";
  const HWND dialog = CreateComparisonDialog(GetModuleHandleA(nullptr), nullptr, table);
  ASSERT_NE(dialog, nullptr);
  const HWND list = GetDlgItem(dialog, history::kComparisonTable);
  EXPECT_EQ(Column(list, 0), (std::vector<std::wstring>{L"worse", L"only after"}));
  EXPECT_EQ(Column(list, 4), (std::vector<std::wstring>{L"66.75", L"98.75"}));
  EXPECT_EQ(ControlText(dialog, history::kComparisonTitle), table.title);
  EXPECT_EQ(ControlText(dialog, history::kComparisonSummary), table.summary);
  DestroyWindow(dialog);
}

TEST(HistoryMenuTest, HistoryFollowsThePartsItemsOfTheFileMenuBeforeExit) {
  Win32Shell shell(GetModuleHandleA(nullptr));
  std::vector<int> commands;
  MainWindowCallbacks callbacks;
  callbacks.command = [&commands](int id) { commands.push_back(id); };
  const std::unique_ptr<DesktopWindow> window =
      shell.CreateMainWindow("klxr-history-menu-test", std::move(callbacks));
  ASSERT_NE(window, nullptr);
  const HMENU file = GetSubMenu(GetMenu(shell.Window()), 0);
  std::vector<std::string> items;
  for (int i = 0; i < GetMenuItemCount(file); ++i) {
    char text[64] = {};
    GetMenuStringA(file, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    items.push_back(GetMenuState(file, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR ? "-"
                                                                                           : text);
  }
  EXPECT_EQ(items, (std::vector<std::string>{
                       "&Load\tCtrl+O", "&Save\tCtrl+S", "Ex&port (.csv)\tCtrl+E", "&Erase Log",
                       "-", "&History...", "Report (.pdf)...", "-", "E&xit\tCtrl+Q"}));
  SendMessageA(shell.Window(), WM_COMMAND, cmd::kHistory, 0);
  EXPECT_EQ(commands, std::vector<int>{cmd::kHistory});
  window->ShowTitle("Survey 12 - KL-XR Meter - Log");
  char title[64] = {};
  GetWindowTextA(shell.Window(), title, sizeof title);
  EXPECT_STREQ(title, "Survey 12 - KL-XR Meter - Log");
  window->Close();
}

}  // namespace
}  // namespace klxr::win32
