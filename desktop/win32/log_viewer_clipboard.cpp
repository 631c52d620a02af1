#include "desktop/win32/log_viewer_clipboard.h"

#include <cstring>
#include <utility>

#include "desktop/log_viewer_lines.h"

namespace klxr::win32 {
namespace {

// Global memory holding the bytes, for the clipboard to own; null when none can be had.
HGLOBAL GlobalCopy(const void* bytes, std::size_t size) {
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (memory == nullptr) {
    return nullptr;
  }
  void* target = GlobalLock(memory);
  if (target == nullptr) {
    GlobalFree(memory);
    return nullptr;
  }
  std::memcpy(target, bytes, size);
  GlobalUnlock(memory);
  return memory;
}

void SetClipboardBytes(UINT format, const void* bytes, std::size_t size) {
  if (const HGLOBAL memory = GlobalCopy(bytes, size)) {
    if (SetClipboardData(format, memory) == nullptr) {
      GlobalFree(memory);
    }
  }
}

}  // namespace

std::vector<std::string> ListStrings(HWND list) {
  std::vector<std::string> strings;
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT row = 0; row < count; ++row) {
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    const LRESULT copied = SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(row),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    strings.push_back(std::move(text));
  }
  return strings;
}

std::vector<int> SelectedRows(HWND list) {
  const LRESULT count = SendMessageA(list, LB_GETSELCOUNT, 0, 0);
  if (count == LB_ERR) {  // a list of single selection
    const LRESULT row = SendMessageA(list, LB_GETCURSEL, 0, 0);
    return row == LB_ERR ? std::vector<int>{} : std::vector<int>{static_cast<int>(row)};
  }
  std::vector<int> rows(static_cast<std::size_t>(count));
  if (count > 0) {
    const LRESULT got = SendMessageA(list, LB_GETSELITEMS, static_cast<WPARAM>(count),
                                     reinterpret_cast<LPARAM>(rows.data()));
    rows.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  }
  return rows;
}

bool PutTextOnClipboard(HWND owner, const std::string& text) {
  if (!OpenClipboard(owner)) {
    return false;
  }
  EmptyClipboard();
  SetClipboardBytes(CF_TEXT, text.c_str(), text.size() + 1);
  const int wide = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (wide > 0) {
    std::wstring unicode(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, unicode.data(), wide);
    SetClipboardBytes(CF_UNICODETEXT, unicode.c_str(), unicode.size() * sizeof(wchar_t));
  }
  CloseClipboard();
  return true;
}

void CopySelectedLines(HWND owner, HWND list) {
  const std::vector<std::string> lines = ListStrings(list);
  const std::string text = CopiedLines(lines, SelectedRows(list), "\r\n");
  if (!text.empty()) {
    PutTextOnClipboard(owner, text);
  }
}

}  // namespace klxr::win32
