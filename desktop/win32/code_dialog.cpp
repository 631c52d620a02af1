#include "desktop/win32/code_dialog.h"

#include <commctrl.h>

#include <cstring>

namespace klxr::win32 {
namespace {

// Writes the template as 16-bit words; DWORDs and shorts go in as their two words.
class TemplateWords {
 public:
  void Dword(DWORD value) {
    Word(static_cast<WORD>(value & 0xFFFF));
    Word(static_cast<WORD>(value >> 16));
  }
  void Word(WORD value) { words_.push_back(value); }
  void Short(short value) { Word(static_cast<WORD>(value)); }
  void Text(const std::wstring& text) {
    for (const wchar_t c : text) {
      Word(static_cast<WORD>(c));
    }
    Word(0);
  }
  // Each control's template starts on a DWORD boundary.
  void AlignToDword() {
    if (words_.size() % 2 != 0) {
      Word(0);
    }
  }
  std::vector<DWORD> Dwords() const {
    std::vector<DWORD> dwords((words_.size() + 1) / 2, 0);
    std::memcpy(dwords.data(), words_.data(), words_.size() * sizeof(WORD));
    return dwords;
  }

 private:
  std::vector<WORD> words_;
};

// The list view is a common control: its window class is registered once before a dialog uses it.
void RegisterCommonControls() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)registered;
}

}  // namespace

std::vector<DWORD> DialogTemplate(const CodeDialog& dialog) {
  TemplateWords words;
  words.Dword(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU |
              dialog.style);
  words.Dword(0);
  words.Word(static_cast<WORD>(dialog.controls.size()));
  words.Short(0);
  words.Short(0);
  words.Short(dialog.width);
  words.Short(dialog.height);
  words.Word(0);  // no menu
  words.Word(0);  // the standard dialog class
  words.Text(dialog.title);
  words.Word(8);
  words.Text(L"MS Shell Dlg");
  for (const CodeControl& control : dialog.controls) {
    words.AlignToDword();
    words.Dword(WS_CHILD | WS_VISIBLE | control.style);
    words.Dword(0);
    words.Short(control.x);
    words.Short(control.y);
    words.Short(control.width);
    words.Short(control.height);
    words.Word(static_cast<WORD>(control.id));
    words.Text(control.className);
    words.Text(control.text);
    words.Word(0);  // no creation data
  }
  return words.Dwords();
}

INT_PTR RunCodeDialog(HINSTANCE instance, HWND owner, const CodeDialog& dialog, DLGPROC procedure,
                      LPARAM parameter) {
  RegisterCommonControls();
  const std::vector<DWORD> bytes = DialogTemplate(dialog);
  return DialogBoxIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()), owner,
                                 procedure, parameter);
}

HWND CreateCodeDialog(HINSTANCE instance, HWND owner, const CodeDialog& dialog, DLGPROC procedure,
                      LPARAM parameter) {
  RegisterCommonControls();
  const std::vector<DWORD> bytes = DialogTemplate(dialog);
  return CreateDialogIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()),
                                    owner, procedure, parameter);
}

std::wstring WideText(const std::string& utf8) {
  if (utf8.empty()) {
    return {};
  }
  const int size = static_cast<int>(utf8.size());
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), size)));
  return wide;
}

std::string Utf8Text(const std::wstring& wide) {
  if (wide.empty()) {
    return {};
  }
  const int size = static_cast<int>(wide.size());
  std::string utf8(wide.size() * 3, '\0');
  utf8.resize(static_cast<std::size_t>(
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), static_cast<int>(utf8.size()),
                          nullptr, nullptr)));
  return utf8;
}

std::string ControlText(HWND dialog, int controlId) {
  const HWND control = GetDlgItem(dialog, controlId);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return Utf8Text(text);
}

}  // namespace klxr::win32
