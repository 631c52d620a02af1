#include "desktop/win32/log_viewer_dialog.h"

#include <memory>

#include "desktop/win32/log_list_drawing.h"
#include "desktop/win32/log_viewer_clipboard.h"
#include "desktop/win32/log_viewer_report.h"
#include "desktop/win32/log_viewer_sizing.h"
#include "resources/dialog_templates.h"

namespace klxr::win32 {
namespace {

constexpr int kUnitLabels[] = {ctl::kViewerVideoUnit, ctl::kViewerAudioUnit,
                               ctl::kViewerDigitalUnit};

// What a viewer keeps while it is open.
struct ViewerState {
  const LogViewerCallbacks* callbacks;
  ViewerSizing sizing;
};

ViewerState* StateOf(HWND viewer) {
  return reinterpret_cast<ViewerState*>(GetWindowLongPtrA(viewer, DWLP_USER));
}

const LogViewerCallbacks& CallbacksOf(HWND viewer) {
  return *StateOf(viewer)->callbacks;
}

std::vector<std::string> LinesIn(const LogViewerCallbacks& callbacks, bool dbuv) {
  return callbacks.lines ? callbacks.lines(dbuv) : std::vector<std::string>{};
}

// The list has no text of its own: a label without size just before it in the window order names
// it for assistive technology, as a label beside a list does.
void NameList(HWND viewer, HWND list) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(viewer, GWLP_HINSTANCE));
  const HWND label = CreateWindowExA(0, "STATIC", "Log entries", WS_CHILD | WS_VISIBLE | SS_LEFT, 0,
                                     0, 0, 0, viewer, nullptr, instance, nullptr);
  const HWND before = GetWindow(list, GW_HWNDPREV);
  if (label != nullptr) {
    SetWindowPos(label, before != nullptr ? before : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

BOOL InitViewer(HWND viewer, LPARAM callbacks) {
  auto* state = new ViewerState{reinterpret_cast<const LogViewerCallbacks*>(callbacks), {}};
  SetWindowLongPtrA(viewer, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  // Several lines can be selected; the keys the list does not know (Ctrl+C, Ctrl+A) reach the
  // viewer as WM_VKEYTOITEM.
  MakeListOwnerDrawn(viewer, ctl::kViewerList, LBS_EXTENDEDSEL | LBS_WANTKEYBOARDINPUT);
  const HWND list = GetDlgItem(viewer, ctl::kViewerList);
  NameList(viewer, list);
  FillLogList(viewer, LinesIn(*state->callbacks, false));
  MakeResizable(viewer, state->sizing);
  return TRUE;
}

// WM_VKEYTOITEM of the list: Ctrl+C copies the selected lines, Ctrl+A selects them all; -2 says the
// key is handled, -1 lets the list act on it.
INT_PTR ListKey(HWND viewer, WORD key, HWND list) {
  if (GetKeyState(VK_CONTROL) >= 0 || (key != 'C' && key != 'A')) {
    return -1;
  }
  if (key == 'C') {
    CopySelectedLines(viewer, list);
  } else {
    SendMessageA(list, LB_SETSEL, TRUE, -1);
  }
  return -2;
}

// The list's context menu at the click, or below the caret line for the menu key.
void ShowListMenu(HWND viewer, HWND list, LPARAM at) {
  POINT point{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
  if (point.x == -1 && point.y == -1) {
    RECT line{0, 0, 0, 0};
    const LRESULT caret = SendMessageA(list, LB_GETCARETINDEX, 0, 0);
    if (caret != LB_ERR) {
      SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(caret),
                   reinterpret_cast<LPARAM>(&line));
    }
    point = {line.left + 8, line.bottom};
    ClientToScreen(list, &point);
  }
  const HMENU menu = BuildListMenu(CallbacksOf(viewer));
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, viewer, nullptr);
  DestroyMenu(menu);
}

INT_PTR OnCommand(HWND viewer, int command) {
  switch (command) {
    case ctl::kViewerShowDbuv:
      ApplyUnits(viewer, CallbacksOf(viewer));
      return TRUE;
    case ctl::kViewerExport:
      if (CallbacksOf(viewer).exportCsv) {
        CallbacksOf(viewer).exportCsv(viewer);
      }
      return TRUE;
    case kViewerCopyCommand:
      CopySelectedLines(viewer, GetDlgItem(viewer, ctl::kViewerList));
      return TRUE;
    case kViewerReportCommand:
      RunReportItem(viewer, CallbacksOf(viewer));
      return TRUE;
    case IDOK:
    case IDCANCEL:
      EndDialog(viewer, command);
      return TRUE;
    default:
      return FALSE;
  }
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

HMENU BuildListMenu(const LogViewerCallbacks& callbacks) {
  const HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, kViewerCopyCommand, "Copy\tCtrl+C");
  AppendReportItem(menu, callbacks);
  return menu;
}

INT_PTR CALLBACK LogViewerProc(HWND viewer, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return InitViewer(viewer, lParam);
    case WM_DESTROY:
      delete StateOf(viewer);
      SetWindowLongPtrA(viewer, DWLP_USER, 0);
      return FALSE;
    case WM_SIZE:
      if (StateOf(viewer) != nullptr && wParam != SIZE_MINIMIZED) {
        LayOutControls(viewer, StateOf(viewer)->sizing);
      }
      return TRUE;
    case WM_GETMINMAXINFO:
      if (StateOf(viewer) == nullptr) {
        return FALSE;
      }
      LimitTracking(StateOf(viewer)->sizing, *reinterpret_cast<MINMAXINFO*>(lParam));
      return TRUE;
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
    case WM_VKEYTOITEM:
      return ListKey(viewer, LOWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) != GetDlgItem(viewer, ctl::kViewerList)) {
        return FALSE;
      }
      ShowListMenu(viewer, reinterpret_cast<HWND>(wParam), lParam);
      return TRUE;
    case WM_COMMAND:
      return OnCommand(viewer, LOWORD(wParam));
    default:
      return FALSE;
  }
}

int RunLogViewer(HINSTANCE instance, HWND owner, const LogViewerCallbacks& callbacks) {
  return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(dlg::kLogViewer), owner,
                                          LogViewerProc, reinterpret_cast<LPARAM>(&callbacks)));
}

}  // namespace klxr::win32
