#include "desktop/win32/history_dialogs.h"

#include <commctrl.h>

#include <algorithm>

#include "desktop/history_controls.h"

namespace klxr::win32 {
namespace {

// What the label dialog works on: the texts it starts with and gives back.
struct LabelTexts {
  std::string& site;
  std::string& note;
};

INT_PTR CALLBACK LabelProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      const auto& texts = *reinterpret_cast<LabelTexts*>(lParam);
      SetDlgItemTextW(dialog, history::kLabelSite, WideText(texts.site).c_str());
      SetDlgItemTextW(dialog, history::kLabelNote, WideText(texts.note).c_str());
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        auto& texts = *reinterpret_cast<LabelTexts*>(GetWindowLongPtrW(dialog, DWLP_USER));
        texts.site = ControlText(dialog, history::kLabelSite);
        texts.note = ControlText(dialog, history::kLabelNote);
      }
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

COLORREF VerdictTint(Verdict verdict) {
  switch (verdict) {
    case Verdict::Worse:
      return RGB(255, 222, 222);
    case Verdict::Better:
      return RGB(222, 245, 222);
    case Verdict::Unchanged:
    case Verdict::OnlyBefore:
    case Verdict::OnlyAfter:
      break;
  }
  return CLR_DEFAULT;
}

// Each column as wide as its heading or its widest cell, with the list's margins; returns their
// total width.
int FitColumns(HWND list, const ComparisonTable& table) {
  int total = 0;
  const auto width = [list](const std::wstring& text) {
    return static_cast<int>(
        SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
  };
  for (std::size_t column = 0; column < kComparisonHeadings.size(); ++column) {
    const std::string_view heading = kComparisonHeadings[column];
    int widest = width(std::wstring(heading.begin(), heading.end()));
    for (const auto& row : table.rows) {
      widest = std::max(widest, width(WideText(row[column])));
    }
    SendMessageW(list, LVM_SETCOLUMNWIDTH, column, widest + 16);
    total += widest + 16;
  }
  return total;
}

// Moves a control of the dialog by dx to the right, or widens it by dx.
void Shift(HWND dialog, int controlId, int dx, bool widen) {
  const HWND control = GetDlgItem(dialog, controlId);
  RECT place;
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
  SetWindowPos(control, nullptr, place.left + (widen ? 0 : dx), place.top,
               place.right - place.left + (widen ? dx : 0), place.bottom - place.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// Widens the dialog so that the list shows every column whole, as far as the screen's work area
// lets it, and keeps it where it is otherwise.
void GrowToFit(HWND dialog, HWND list, int columnsWidth) {
  RECT inside;
  GetClientRect(list, &inside);
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT outer;
  GetWindowRect(dialog, &outer);
  const int wanted = columnsWidth + GetSystemMetrics(SM_CXVSCROLL) - (inside.right - inside.left);
  const int room = (work.right - work.left) - (outer.right - outer.left);
  const int dx = std::min(wanted, room);
  if (dx <= 0) {
    return;
  }
  for (const int id : {history::kComparisonTitle, history::kComparisonTable,
                       history::kComparisonSummary, history::kComparisonUnits}) {
    Shift(dialog, id, dx, true);
  }
  Shift(dialog, history::kComparisonClose, dx, false);
  const int left = std::max<int>(work.left, outer.left - dx / 2);
  SetWindowPos(dialog, nullptr, left, outer.top, outer.right - outer.left + dx,
               outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

const ComparisonTable& TableOf(HWND dialog) {
  return *reinterpret_cast<const ComparisonTable*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void FillComparison(HWND dialog, const ComparisonTable& table) {
  const HWND list = GetDlgItem(dialog, history::kComparisonTable);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
  for (std::size_t i = 0; i < kComparisonHeadings.size(); ++i) {
    std::wstring heading(kComparisonHeadings[i].begin(), kComparisonHeadings[i].end());
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
    // The verdict, channel and status are words; the rest are numbers.
    column.fmt = i >= 2 && i + 1 < kComparisonHeadings.size() ? LVCFMT_RIGHT : LVCFMT_LEFT;
    column.pszText = heading.data();
    column.iSubItem = static_cast<int>(i);
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  for (std::size_t row = 0; row < table.rows.size(); ++row) {
    for (std::size_t column = 0; column < kComparisonHeadings.size(); ++column) {
      std::wstring text = WideText(table.rows[row][column]);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(row);
      item.iSubItem = static_cast<int>(column);
      item.pszText = text.data();
      SendMessageW(list, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, column == 0 ? 0 : row,
                   reinterpret_cast<LPARAM>(&item));
    }
  }
  GrowToFit(dialog, list, FitColumns(list, table));
  SetDlgItemTextW(dialog, history::kComparisonTitle, WideText(table.title).c_str());
  SetDlgItemTextW(dialog, history::kComparisonSummary, WideText(table.summary).c_str());
  SetDlgItemTextW(dialog, history::kComparisonUnits, WideText(table.units).c_str());
}

// Tints each row by its verdict.
LRESULT DrawComparisonRow(HWND dialog, NMLVCUSTOMDRAW& draw) {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
    return CDRF_NOTIFYITEMDRAW;
  }
  if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
    const ComparisonTable& table = TableOf(dialog);
    const std::size_t row = draw.nmcd.dwItemSpec;
    if (row < table.verdicts.size() && VerdictTint(table.verdicts[row]) != CLR_DEFAULT) {
      draw.clrTextBk = VerdictTint(table.verdicts[row]);
      draw.clrText = RGB(0, 0, 0);
    }
  }
  return CDRF_DODEFAULT;
}

INT_PTR CALLBACK ComparisonProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      FillComparison(dialog, *reinterpret_cast<const ComparisonTable*>(lParam));
      SetFocus(GetDlgItem(dialog, history::kComparisonTable));
      return FALSE;
    case WM_NOTIFY: {
      auto& header = *reinterpret_cast<NMHDR*>(lParam);
      if (header.idFrom == history::kComparisonTable && header.code == NM_CUSTOMDRAW &&
          GetWindowLongPtrW(dialog, DWLP_USER) != 0) {
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT,
                          DrawComparisonRow(dialog, reinterpret_cast<NMLVCUSTOMDRAW&>(header)));
        return TRUE;
      }
      return FALSE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

const CodeDialog& LabelDialog() {
  static const CodeDialog dialog{
      L"Label",
      0,
      230,
      62,
      {
          {-1, L"Static", L"&Site:", SS_LEFT, 7, 9, 30, 8},
          {history::kLabelSite, L"Edit", L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 40, 7, 183,
           12},
          {-1, L"Static", L"&Note:", SS_LEFT, 7, 25, 30, 8},
          {history::kLabelNote, L"Edit", L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 40, 23, 183,
           12},
          {IDOK, L"Button", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 119, 41, 50, 14},
          {IDCANCEL, L"Button", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 173, 41, 50, 14},
      }};
  return dialog;
}

const CodeDialog& ComparisonDialog() {
  static const CodeDialog dialog{
      L"Comparison",
      0,
      600,
      284,
      {
          {history::kComparisonTitle, L"Static", L"", SS_LEFT | SS_NOPREFIX, 7, 7, 586, 8},
          {history::kComparisonTable, WC_LISTVIEWW, L"",
           LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 7, 19, 586,
           212},
          {history::kComparisonSummary, L"Static", L"", SS_LEFT | SS_NOPREFIX, 7, 236, 586, 8},
          {history::kComparisonUnits, L"Static", L"", SS_LEFT | SS_NOPREFIX, 7, 248, 586, 8},
          {history::kComparisonClose, L"Button", L"Close", BS_DEFPUSHBUTTON | WS_TABSTOP, 543, 263,
           50, 14},
      }};
  return dialog;
}

bool RunLabelDialog(HINSTANCE instance, HWND owner, std::string& site, std::string& note) {
  LabelTexts texts{site, note};
  return RunCodeDialog(instance, owner, LabelDialog(), LabelProcedure,
                       reinterpret_cast<LPARAM>(&texts)) == IDOK;
}

void RunComparisonDialog(HINSTANCE instance, HWND owner, const ComparisonTable& table) {
  RunCodeDialog(instance, owner, ComparisonDialog(), ComparisonProcedure,
                reinterpret_cast<LPARAM>(&table));
}

HWND CreateComparisonDialog(HINSTANCE instance, HWND owner, const ComparisonTable& table) {
  return CreateCodeDialog(instance, owner, ComparisonDialog(), ComparisonProcedure,
                          reinterpret_cast<LPARAM>(&table));
}

}  // namespace klxr::win32
