#include "desktop/win32/log_viewer_sizing.h"

#include "desktop/log_viewer_layout.h"

namespace klxr::win32 {

void MakeResizable(HWND dialog, ViewerSizing& sizing) {
  RECT client;
  GetClientRect(dialog, &client);
  sizing.templateClient = {client.right, client.bottom};
  sizing.controls.clear();
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    RECT place;
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    sizing.controls.push_back({child, GetDlgCtrlID(child), place});
  }
  const auto style =
      static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_STYLE)) | WS_THICKFRAME | WS_MAXIMIZEBOX;
  SetWindowLongPtrA(dialog, GWL_STYLE, static_cast<LONG_PTR>(style));
  RECT outer = client;
  AdjustWindowRectEx(&outer, style, FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_EXSTYLE)));
  sizing.leastWindow = {outer.right - outer.left, outer.bottom - outer.top};
  SetWindowPos(dialog, nullptr, 0, 0, sizing.leastWindow.cx, sizing.leastWindow.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void LayOutControls(HWND dialog, const ViewerSizing& sizing) {
  RECT client;
  GetClientRect(dialog, &client);
  const ClientSize atTemplate{sizing.templateClient.cx, sizing.templateClient.cy};
  const ClientSize now{client.right, client.bottom};
  HDWP moves = BeginDeferWindowPos(static_cast<int>(sizing.controls.size()));
  for (const ViewerSizing::Control& control : sizing.controls) {
    const RECT& from = control.place;
    const ControlPlace place = PlaceViewerControl(
        control.id, {from.left, from.top, from.right - from.left, from.bottom - from.top},
        atTemplate, now);
    if (moves != nullptr) {
      moves = DeferWindowPos(moves, control.window, nullptr, place.x, place.y, place.width,
                             place.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  if (moves != nullptr) {
    EndDeferWindowPos(moves);
  }
  // The dialog's own background where the buttons were, and every line of the list, which draws
  // its last field up to its right edge.
  RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void LimitTracking(const ViewerSizing& sizing, MINMAXINFO& limits) {
  limits.ptMinTrackSize = {sizing.leastWindow.cx, sizing.leastWindow.cy};
}

}  // namespace klxr::win32
