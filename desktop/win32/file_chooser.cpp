#include "desktop/win32/file_chooser.h"

#include <string>
#include <vector>

#include "desktop/chooser_flow.h"
#include "resources/dialog_templates.h"

namespace klxr::win32 {
namespace {

// The chooser's list is sorted by the template; the flow hands its entries over in its own order,
// which they keep (LB_INSERTSTRING at the end does not sort).
class FileChooserDialog final : public ChooserView {
 public:
  FileChooserDialog(ChooserRequest& request, MessageBoxes& boxes) : flow_(request, boxes, *this) {}

  void Open(HWND dialog) {
    dialog_ = dialog;
    PlaceBesideOwner();
    SetWindowTextA(dialog_, LoadText(msg::kEnterFilenameTitle).c_str());
    SetDlgItemTextA(dialog_, ctl::kCancel, LoadText(msg::kCancelButton).c_str());
    flow_.Open();
    SetFocus(GetDlgItem(dialog_, ctl::kChooserList));
  }

  // A command from a button, the list or the name field; true when the chooser handled it.
  bool OnCommand(int id, int notification) {
    switch (id) {
      case IDOK:
        flow_.OnOk();
        return true;
      case IDCANCEL:
        flow_.OnCancel();
        return true;
      case ctl::kChooserList:
        return OnListNotification(notification);
      case ctl::kChooserNameField:
        if (notification == EN_MAXTEXT) {
          flow_.OnOk();
          return true;
        }
        return false;
      case ctl::kChooserShowAll:
        if (notification == BN_CLICKED) {
          // The box has ticked or unticked itself already; the folder is listed again once the
          // click has been handled.
          PostMessageA(dialog_, WM_APP, 0, 0);
          return true;
        }
        return false;
      default:
        return false;
    }
  }

  void OnShowAllChanged() { flow_.OnShowAllChanged(); }

  void ShowEntries(const std::vector<std::string>& entries) override {
    const HWND list = GetDlgItem(dialog_, ctl::kChooserList);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& entry : entries) {
      SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(entry.c_str()));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
  }

  void ShowFolder(const std::string& folder) override {
    SetDlgItemTextA(dialog_, ctl::kChooserFolderLabel, folder.c_str());
  }

  std::string NameText() const override { return ControlText(ctl::kChooserNameField); }

  void SetNameText(const std::string& text) override {
    SetDlgItemTextA(dialog_, ctl::kChooserNameField, text.c_str());
  }

  bool ShowAllTicked() const override {
    return IsDlgButtonChecked(dialog_, ctl::kChooserShowAll) == BST_CHECKED;
  }

  void EndChooser(int result) override { EndDialog(dialog_, result); }

 private:
  bool OnListNotification(int notification) {
    if (notification != LBN_SELCHANGE && notification != LBN_DBLCLK) {
      return false;
    }
    const HWND list = GetDlgItem(dialog_, ctl::kChooserList);
    const LRESULT row = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR) {
      return true;
    }
    std::string entry(static_cast<std::size_t>(SendMessageA(list, LB_GETTEXTLEN, row, 0)), '\0');
    SendMessageA(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(entry.data()));
    if (notification == LBN_SELCHANGE) {
      flow_.OnSelect(entry);
    } else {
      flow_.OnDoubleClick(entry);
    }
    return true;
  }

  std::string ControlText(int id) const {
    const HWND control = GetDlgItem(dialog_, id);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
  }

  void PlaceBesideOwner() {
    const HWND owner = GetWindow(dialog_, GW_OWNER);
    RECT ownerFrame;
    RECT frame;
    if (owner == nullptr || !GetWindowRect(owner, &ownerFrame) || !GetWindowRect(dialog_, &frame)) {
      return;
    }
    const POINT place = ChooserPlace(ownerFrame, frame, GetSystemMetrics(SM_CXFULLSCREEN));
    MoveWindow(dialog_, place.x, place.y, frame.right - frame.left, frame.bottom - frame.top, TRUE);
  }

  HWND dialog_ = nullptr;
  ChooserFlow flow_;
};

// The chooser of the dialog; none before WM_INITDIALOG has handed it over.
FileChooserDialog* ChooserOf(HWND dialog) {
  return reinterpret_cast<FileChooserDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

INT_PTR CALLBACK FileChooserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    ChooserOf(dialog)->Open(dialog);
    // The focus stays on the list, where the chooser put it.
    return FALSE;
  }
  FileChooserDialog* chooser = ChooserOf(dialog);
  if (chooser == nullptr) {
    return FALSE;
  }
  switch (message) {
    case WM_COMMAND:
      return chooser->OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_APP:
      chooser->OnShowAllChanged();
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

POINT ChooserPlace(const RECT& owner, const RECT& chooser, int screenWidth) {
  const LONG width = chooser.right - chooser.left;
  if (screenWidth - owner.right >= width) {
    return {owner.right, owner.top};
  }
  if (owner.left >= width) {
    return {owner.left - width, owner.top};
  }
  return {chooser.left, chooser.top};
}

bool RunFileChooserDialog(HINSTANCE instance, HWND owner, ChooserRequest& request,
                          MessageBoxes& boxes) {
  FileChooserDialog chooser(request, boxes);
  const INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(dlg::kFileChooser), owner,
                                         FileChooserProc, reinterpret_cast<LPARAM>(&chooser));
  if (result != kChooserChose) {
    request.ChosenPath.clear();
    return false;
  }
  return !request.ChosenPath.empty();
}

}  // namespace klxr::win32
