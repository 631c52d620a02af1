// The log viewer's sizing on Win32: the template has a fixed frame, so the sizing border and the
// maximise box are added as the dialog opens, keeping its client area at the template's size, which
// stays the least the viewer can be sized to. The controls follow the size as
// desktop/log_viewer_layout.h says.
#pragma once

#include <windows.h>

#include <vector>

namespace klxr::win32 {

struct ViewerSizing {
  struct Control {
    HWND window;
    int id;
    RECT place;  // in the client area of the template's size
  };
  SIZE templateClient{};
  SIZE leastWindow{};  // the window's outer size at the template's size
  std::vector<Control> controls;
};

// Notes where each control stands, adds WS_THICKFRAME and WS_MAXIMIZEBOX and resizes the frame
// around the same client area. Call while the dialog initialises, after its controls are made.
void MakeResizable(HWND dialog, ViewerSizing& sizing);

// WM_SIZE: places every control for the client area's new size.
void LayOutControls(HWND dialog, const ViewerSizing& sizing);

// WM_GETMINMAXINFO: the template's size is the least.
void LimitTracking(const ViewerSizing& sizing, MINMAXINFO& limits);

}  // namespace klxr::win32
