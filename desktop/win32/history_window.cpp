#include "desktop/win32/history_window.h"

#include <commctrl.h>

#include <algorithm>

#include "desktop/history_controls.h"
#include "desktop/run_file_chooser.h"
#include "desktop/win32/file_chooser.h"
#include "desktop/win32/history_dialogs.h"
#include "desktop/win32/registry_settings_store.h"

namespace klxr::win32 {
namespace {

constexpr short kListWidth = 480;
constexpr short kListHeight = 186;
constexpr short kButtonsLeft = kListWidth + 14;
constexpr short kButtonWidth = 72;
constexpr short kButtonHeight = 14;

CodeControl Button(int id, const wchar_t* text, short y, DWORD style = BS_PUSHBUTTON) {
  return {id, L"Button", text, style | WS_TABSTOP, kButtonsLeft, y, kButtonWidth, kButtonHeight};
}

std::wstring Latin1(std::string_view text) {
  return std::wstring(text.begin(), text.end());
}

int ColumnOf(HistoryColumn column) {
  for (std::size_t i = 0; i < kHistoryColumns.size(); ++i) {
    if (kHistoryColumns[i].column == column) {
      return static_cast<int>(i);
    }
  }
  return 0;
}

// Each column as wide as its heading with the sort mark, or its sample value, whichever is wider.
void AddColumns(HWND list) {
  for (std::size_t i = 0; i < kHistoryColumns.size(); ++i) {
    const HistoryColumnInfo& info = kHistoryColumns[i];
    std::wstring heading = Latin1(info.heading);
    const std::wstring sample = Latin1(info.sample);
    const auto width = [list](const std::wstring& text) {
      return static_cast<int>(
          SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
    };
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = info.rightAligned ? LVCFMT_RIGHT : LVCFMT_LEFT;
    column.cx = std::max(width(heading) + 24, width(sample) + 16);
    column.pszText = heading.data();
    column.iSubItem = static_cast<int>(i);
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  // The last column, the note, takes the room left.
  SendMessageW(list, LVM_SETCOLUMNWIDTH, kHistoryColumns.size() - 1, LVSCW_AUTOSIZE_USEHEADER);
}

void SetCell(HWND list, int row, int column, const std::string& utf8) {
  std::wstring text = WideText(utf8);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text.data();
  SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

HistoryWindow& WindowOf(HWND window) {
  return *reinterpret_cast<HistoryWindow*>(GetWindowLongPtrW(window, DWLP_USER));
}

constexpr int kActionIds[] = {history::kOpen,    history::kLabel,  history::kExport,
                              history::kCompare, history::kForget, history::kExportFormat};

}  // namespace

const CodeDialog& HistoryDialog() {
  static const CodeDialog dialog{
      L"History",
      0,
      kButtonsLeft + kButtonWidth + 7,
      kListHeight + 26,
      {
          {history::kList, WC_LISTVIEWW, L"",
           LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 7, 7,
           kListWidth, kListHeight},
          Button(history::kOpen, L"&Open", 7, BS_DEFPUSHBUTTON),
          Button(history::kLabel, L"&Label...", 25),
          Button(history::kExport, L"&Export...", 43),
          {-1, L"Static", L"Export &as:", SS_LEFT, kButtonsLeft, 62, kButtonWidth, 8},
          {history::kExportFormat, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
           kButtonsLeft, 72, kButtonWidth, 80},
          Button(history::kCompare, L"&Compare...", 94),
          Button(history::kForget, L"&Forget", 112),
          Button(history::kClose, L"Close", kListHeight - 7),
          {history::kStatus, L"Static", L"", SS_LEFT | SS_NOPREFIX, 7, kListHeight + 12, kListWidth,
           8},
      }};
  return dialog;
}

void HistoryWindow::Run(HWND owner) {
  RunCodeDialog(instance_, owner, HistoryDialog(), Procedure, reinterpret_cast<LPARAM>(this));
  window_ = nullptr;
}

HWND HistoryWindow::Create(HWND owner) {
  return CreateCodeDialog(instance_, owner, HistoryDialog(), Procedure,
                          reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK HistoryWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    auto& self = *reinterpret_cast<HistoryWindow*>(lParam);
    self.window_ = window;
    self.Initialise();
    return TRUE;
  }
  if (GetWindowLongPtrW(window, DWLP_USER) == 0) {
    return FALSE;
  }
  return WindowOf(window).OnMessage(message, wParam, lParam);
}

void HistoryWindow::Initialise() {
  list_ = GetDlgItem(window_, history::kList);
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
  AddColumns(list_);
  const HWND format = GetDlgItem(window_, history::kExportFormat);
  for (const HistoryExportChoice& choice : kHistoryExportChoices) {
    SendMessageW(format, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Latin1(choice.name).c_str()));
  }
  SendMessageW(format, CB_SETCURSEL, 0, 0);
  Reload(std::nullopt);
  SetFocus(list_);
}

INT_PTR HistoryWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:  // Enter
        case history::kOpen:
          Act(HistoryAction::Open);
          return TRUE;
        case history::kLabel:
          Act(HistoryAction::Label);
          return TRUE;
        case history::kExport:
          Act(HistoryAction::Export);
          return TRUE;
        case history::kCompare:
          Act(HistoryAction::Compare);
          return TRUE;
        case history::kForget:
          Act(HistoryAction::Forget);
          return TRUE;
        case history::kClose:
          EndDialog(window_, history::kClose);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

INT_PTR HistoryWindow::OnNotify(const NMHDR& header) {
  if (header.hwndFrom != list_) {
    return FALSE;
  }
  switch (header.code) {
    case LVN_COLUMNCLICK:
      OnHeadingClicked(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
      return TRUE;
    case LVN_ITEMCHANGED:
      if ((reinterpret_cast<const NMLISTVIEW&>(header).uChanged & LVIF_STATE) != 0) {
        UpdateButtons();
      }
      return TRUE;
    case NM_DBLCLK:
      Act(HistoryAction::Open);
      return TRUE;
    default:
      return FALSE;
  }
}

std::optional<archive::SurveyId> HistoryWindow::Selected() const {
  const LRESULT row = SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) {
    return std::nullopt;
  }
  return rows_[static_cast<std::size_t>(row)].survey.id;
}

void HistoryWindow::OnHeadingClicked(int column) {
  const std::optional<archive::SurveyId> selected = Selected();
  if (!SortByHeading(rows_, column, sortedBy_, ascending_)) {
    return;
  }
  Fill();
  if (selected) {
    Select(*selected);
  }
}

void HistoryWindow::Reload(std::optional<archive::SurveyId> keep) {
  const int previous = static_cast<int>(
      SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  rows_ = history_.Rows();
  SortRows(rows_, sortedBy_, ascending_);
  Fill();
  if (!(keep && Select(*keep)) && !rows_.empty()) {
    SelectRow(std::clamp(previous, 0, static_cast<int>(rows_.size()) - 1));
  }
  SetDlgItemTextW(window_, history::kStatus, WideText(HistoryStatus(rows_.size())).c_str());
  UpdateButtons();
}

void HistoryWindow::Fill() {
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
  for (std::size_t row = 0; row < rows_.size(); ++row) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(row);
    std::wstring first = WideText(CellText(rows_[row], kHistoryColumns[0].column));
    item.pszText = first.data();
    SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    for (std::size_t column = 1; column < kHistoryColumns.size(); ++column) {
      SetCell(list_, static_cast<int>(row), static_cast<int>(column),
              CellText(rows_[row], kHistoryColumns[column].column));
    }
  }
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  ShowSortMark();
  InvalidateRect(list_, nullptr, TRUE);
}

bool HistoryWindow::Select(archive::SurveyId id) {
  for (std::size_t row = 0; row < rows_.size(); ++row) {
    if (rows_[row].survey.id == id) {
      SelectRow(static_cast<int>(row));
      return true;
    }
  }
  return false;
}

void HistoryWindow::SelectRow(int row) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  SendMessageW(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

// The heading of the sorted column shows an arrow up (ascending) or down; the others none.
void HistoryWindow::ShowSortMark() {
  const HWND headings = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
  const int sorted = ColumnOf(sortedBy_);
  for (int column = 0; column < static_cast<int>(kHistoryColumns.size()); ++column) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(headings, HDM_GETITEMW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&item));
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (column == sorted) {
      item.fmt |= ascending_ ? HDF_SORTUP : HDF_SORTDOWN;
    }
    SendMessageW(headings, HDM_SETITEMW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&item));
  }
}

void HistoryWindow::UpdateButtons() {
  const bool selected = Selected().has_value();
  for (const int id : kActionIds) {
    EnableWindow(GetDlgItem(window_, id), selected ? TRUE : FALSE);
  }
}

void HistoryWindow::Act(HistoryAction action) {
  const std::optional<archive::SurveyId> id = Selected();
  if (!id) {
    return;
  }
  CommandOutcome outcome;
  switch (action) {
    case HistoryAction::Open:
      outcome = history_.Open(*id);
      break;
    case HistoryAction::Label:
      outcome = history_.Label(*id, *this);
      break;
    case HistoryAction::Export: {
      const LRESULT chosen =
          SendDlgItemMessageW(window_, history::kExportFormat, CB_GETCURSEL, 0, 0);
      const std::size_t index = chosen < 0 ? 0 : static_cast<std::size_t>(chosen);
      outcome = history_.Export(*id, kHistoryExportChoices.at(index).format, *this);
      break;
    }
    case HistoryAction::Compare:
      outcome = history_.Compare(*id, *this);
      break;
    case HistoryAction::Forget:
      outcome = history_.Forget(*id);
      break;
  }
  if (action == HistoryAction::Label || action == HistoryAction::Forget) {
    Reload(id);
  }
  SetDlgItemTextW(window_, history::kStatus,
                  WideText(HistoryStatus(rows_.size(), action, *id, outcome)).c_str());
}

bool HistoryWindow::AskLabel(std::string& site, std::string& note) {
  return RunLabelDialog(instance_, window_, site, note);
}

bool HistoryWindow::ChooseFile(ChooserRequest& request, const ChooserCommand& command,
                               MessageBoxes& boxes) {
  // Over this window: a chooser owned by the main window would enable it again when it closes,
  // while this window is still open.
  RegistrySettingsStore store;
  return klxr::RunFileChooser(request, command, store, boxes, [&](ChooserRequest& filled) {
    RunFileChooserDialog(instance_, window_, filled, boxes);
  });
}

void HistoryWindow::ShowComparison(const ComparisonTable& table) {
  RunComparisonDialog(instance_, window_, table);
}

void RunHistoryWindow(HINSTANCE instance, HWND owner, HistoryCommands& history) {
  HistoryWindow window(instance, history);
  window.Run(owner);
}

}  // namespace klxr::win32
