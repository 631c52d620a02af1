#include "desktop/win32/file_chooser.h"

namespace klxr::win32 {

// Until the dialog is built, the chooser ends as a cancel, keeping the folder it was given.
bool RunFileChooserDialog(HINSTANCE, HWND, ChooserRequest& request, MessageBoxes&) {
  request.ChosenPath.clear();
  return false;
}

}  // namespace klxr::win32
