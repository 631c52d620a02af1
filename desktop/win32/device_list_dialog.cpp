#include "desktop/win32/device_list_dialog.h"

#include "resources/dialog_templates.h"
#include "resources/message_catalogue.h"

namespace klxr::win32 {
namespace {

// What the dialog works with: the meters to list, and the one picked when it ends.
struct DeviceListRun {
  const CollectedMeters& meters;
  std::optional<ListedMeter> picked;
};

void EndWithPick(HWND dialog, int button) {
  auto* run = reinterpret_cast<DeviceListRun*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (run != nullptr && button == IDOK) {
    run->picked = SelectedMeter(dialog);
  }
  EndDialog(dialog, button);
}

INT_PTR CALLBACK DeviceListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* run = reinterpret_cast<DeviceListRun*>(lParam);
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      FillDeviceList(dialog, run->meters.texts, run->meters.deviceIndexes);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndWithPick(dialog, LOWORD(wParam));
        return TRUE;
      }
      // A double-click on a line picks it as selecting it and pressing OK does.
      if (LOWORD(wParam) == ctl::kDeviceList && HIWORD(wParam) == LBN_DBLCLK) {
        EndWithPick(dialog, IDOK);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void FillDeviceList(HWND dialog, const std::vector<std::string>& versionTexts,
                    const std::vector<int>& deviceIndexes) {
  SetWindowTextA(dialog, LoadText(msg::kUsbDevicesTitle).c_str());
  const HWND list = GetDlgItem(dialog, ctl::kDeviceList);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (std::size_t i = 0; i < versionTexts.size(); ++i) {
    const LRESULT line =
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(versionTexts[i].c_str()));
    const int device = i < deviceIndexes.size() ? deviceIndexes[i] : static_cast<int>(i);
    if (line >= 0) {
      SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(line), device);
    }
  }
  SetDlgItemInt(dialog, ctl::kDeviceCount, static_cast<UINT>(versionTexts.size()), FALSE);
}

std::optional<ListedMeter> SelectedMeter(HWND dialog) {
  const HWND list = GetDlgItem(dialog, ctl::kDeviceList);
  const LRESULT line = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (line < 0) {
    return std::nullopt;
  }
  const auto position = static_cast<WPARAM>(line);
  std::string text(static_cast<std::size_t>(SendMessageA(list, LB_GETTEXTLEN, position, 0)), '\0');
  SendMessageA(list, LB_GETTEXT, position, reinterpret_cast<LPARAM>(text.data()));
  return ListedMeter{static_cast<int>(SendMessageA(list, LB_GETITEMDATA, position, 0)), text};
}

std::optional<ListedMeter> RunDeviceListDialog(HINSTANCE instance, HWND owner,
                                               const CollectedMeters& meters) {
  DeviceListRun run{meters, std::nullopt};
  DialogBoxParamA(instance, MAKEINTRESOURCEA(dlg::kDeviceList), owner, DeviceListProc,
                  reinterpret_cast<LPARAM>(&run));
  return run.picked;
}

}  // namespace klxr::win32
