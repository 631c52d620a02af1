#include "desktop/win32/about_box.h"

#include "resources/dialog_templates.h"
#include "resources/message_catalogue.h"

namespace klxr::win32 {
namespace {

constexpr int kPictureId = 216;

void PaintPicture(HWND dialog) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
  const HBITMAP picture = static_cast<HBITMAP>(
      LoadImageA(instance, MAKEINTRESOURCEA(kPictureId), IMAGE_BITMAP, 0, 0, 0));
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(dialog, &paint);
  if (picture != nullptr) {
    const HDC memory = CreateCompatibleDC(dc);
    const HGDIOBJ previous = SelectObject(memory, picture);
    BITMAP size{};
    GetObjectA(picture, sizeof size, &size);
    RECT client;
    GetClientRect(dialog, &client);
    const int left = (client.right - client.left - size.bmWidth) / 2;
    BitBlt(dc, left, kAboutPictureTop, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(picture);
  }
  EndPaint(dialog, &paint);
}

}  // namespace

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowTextA(dialog, LoadText(msg::kAboutTitle).c_str());
      SetDlgItemTextA(dialog, ctl::kAboutText,
                      AboutText(kProductLine, kVersionMajor, kVersionMinor).c_str());
      return FALSE;
    case WM_PAINT:
      PaintPicture(dialog);
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

int RunAboutBox(HINSTANCE instance, HWND owner) {
  return static_cast<int>(
      DialogBoxParamA(instance, MAKEINTRESOURCEA(dlg::kAbout), owner, AboutBoxProc, 0));
}

}  // namespace klxr::win32
