#include "desktop/win32/device_list_dialog.h"

#include "resources/dialog_templates.h"
#include "resources/message_catalogue.h"

namespace klxr::win32 {
namespace {

INT_PTR CALLBACK DeviceListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      FillDeviceList(dialog, *reinterpret_cast<const std::vector<std::string>*>(lParam));
      return TRUE;
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

void FillDeviceList(HWND dialog, const std::vector<std::string>& versionTexts) {
  SetWindowTextA(dialog, LoadText(msg::kUsbDevicesTitle).c_str());
  const HWND list = GetDlgItem(dialog, ctl::kDeviceList);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& text : versionTexts) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  SetDlgItemInt(dialog, ctl::kDeviceCount, static_cast<UINT>(versionTexts.size()), FALSE);
}

int RunDeviceListDialog(HINSTANCE instance, HWND owner,
                        const std::vector<std::string>& versionTexts) {
  return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(dlg::kDeviceList), owner,
                                          DeviceListProc, reinterpret_cast<LPARAM>(&versionTexts)));
}

}  // namespace klxr::win32
