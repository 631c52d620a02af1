#include "desktop/win32/log_viewer_dialog.h"

#include "desktop/win32/log_list_drawing.h"
#include "desktop/win32/log_viewer_report.h"
#include "resources/dialog_templates.h"

namespace klxr::win32 {
namespace {

constexpr int kUnitLabels[] = {ctl::kViewerVideoUnit, ctl::kViewerAudioUnit,
                               ctl::kViewerDigitalUnit};

const LogViewerCallbacks& CallbacksOf(HWND viewer) {
  return *reinterpret_cast<const LogViewerCallbacks*>(GetWindowLongPtrA(viewer, DWLP_USER));
}

std::vector<std::string> LinesIn(const LogViewerCallbacks& callbacks, bool dbuv) {
  return callbacks.lines ? callbacks.lines(dbuv) : std::vector<std::string>{};
}

}  // namespace

void FillLogList(HWND viewer, const std::vector<std::string>& lines) {
  const HWND list = GetDlgItem(viewer, ctl::kViewerList);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  INT tabStops[LogTabStops.size()];
  for (std::size_t i = 0; i < LogTabStops.size(); ++i) {
    tabStops[i] = LogTabStops[i];
  }
  SendMessageA(list, LB_SETTABSTOPS, LogTabStops.size(), reinterpret_cast<LPARAM>(tabStops));
  for (const std::string& line : lines) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  }
}

void ApplyUnits(HWND viewer, const LogViewerCallbacks& callbacks) {
  const bool dbuv = IsDlgButtonChecked(viewer, ctl::kViewerShowDbuv) == BST_CHECKED;
  for (const int label : kUnitLabels) {
    SetDlgItemTextA(viewer, label, dbuv ? "dBuV" : "dBm");
  }
  FillLogList(viewer, LinesIn(callbacks, dbuv));
  InvalidateRect(viewer, nullptr, TRUE);
}

INT_PTR CALLBACK LogViewerProc(HWND viewer, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(viewer, DWLP_USER, lParam);
      MakeListOwnerDrawn(viewer, ctl::kViewerList);
      FillLogList(viewer, LinesIn(CallbacksOf(viewer), false));
      return TRUE;
    }
    case WM_MEASUREITEM:
      if (wParam == static_cast<WPARAM>(ctl::kViewerList)) {
        MeasureLogLine(viewer, *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
      }
      return FALSE;
    case WM_DRAWITEM:
      if (wParam == static_cast<WPARAM>(ctl::kViewerList)) {
        DrawLogLine(viewer, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      }
      return FALSE;
    case WM_CONTEXTMENU:
      return ShowLogViewerMenu(viewer, reinterpret_cast<HWND>(wParam), lParam, CallbacksOf(viewer));
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kViewerReportCommand:
          RunReportItem(viewer, CallbacksOf(viewer));
          return TRUE;
        case ctl::kViewerShowDbuv:
          ApplyUnits(viewer, CallbacksOf(viewer));
          return TRUE;
        case ctl::kViewerExport:
          if (CallbacksOf(viewer).exportCsv) {
            CallbacksOf(viewer).exportCsv(viewer);
          }
          return TRUE;
        case IDOK:
        case IDCANCEL:
          EndDialog(viewer, LOWORD(wParam));
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

int RunLogViewer(HINSTANCE instance, HWND owner, const LogViewerCallbacks& callbacks) {
  return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(dlg::kLogViewer), owner,
                                          LogViewerProc, reinterpret_cast<LPARAM>(&callbacks)));
}

}  // namespace klxr::win32
