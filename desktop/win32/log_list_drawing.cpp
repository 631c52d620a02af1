#include "desktop/win32/log_list_drawing.h"

#include <string>
#include <vector>

#include "desktop/log_viewer_lines.h"

namespace klxr::win32 {
namespace {

// Where tab position 0 is, in pixels from the item's left edge, as a list box places its text.
constexpr int kTextMargin = 2;

DialogBaseUnits BaseUnitsOf(HWND dialog) {
  RECT units{0, 0, 4, 8};
  MapDialogRect(dialog, &units);
  return {units.right, units.bottom};
}

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', start)) {
    fields.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
  fields.push_back(line.substr(start));
  return fields;
}

std::string LineText(HWND list, UINT index) {
  const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
  if (length <= 0) {
    return {};
  }
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(
      SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

// Draws one field; condensed fields in a narrower cut of the list's font.
void DrawField(HDC dc, const std::string& text, int left, int top, double squeeze) {
  if (squeeze >= 1.0) {
    TextOutA(dc, left, top, text.data(), static_cast<int>(text.size()));
    return;
  }
  LOGFONTA shape{};
  GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof shape, &shape);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  shape.lfWidth = static_cast<LONG>(metrics.tmAveCharWidth * squeeze);
  const HFONT narrow = CreateFontIndirectA(&shape);
  const HGDIOBJ previous = SelectObject(dc, narrow);
  TextOutA(dc, left, top, text.data(), static_cast<int>(text.size()));
  SelectObject(dc, previous);
  DeleteObject(narrow);
}

}  // namespace

void MakeListOwnerDrawn(HWND dialog, int listId, DWORD extraStyles) {
  const HWND old = GetDlgItem(dialog, listId);
  if (old == nullptr) {
    return;
  }
  RECT place;
  GetWindowRect(old, &place);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(old, GWL_STYLE)) | LBS_OWNERDRAWFIXED |
                      LBS_HASSTRINGS | extraStyles;
  const DWORD extended = static_cast<DWORD>(GetWindowLongPtrA(old, GWL_EXSTYLE));
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
  const HWND list =
      CreateWindowExA(extended, "LISTBOX", "", style, place.left, place.top,
                      place.right - place.left, place.bottom - place.top, dialog,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(listId)), instance, nullptr);
  if (list == nullptr) {
    return;  // the template's list stays, with its tab stops
  }
  SendMessageA(list, WM_SETFONT, SendMessageA(old, WM_GETFONT, 0, 0), FALSE);
  SetWindowPos(list, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  DestroyWindow(old);
}

void MeasureLogLine(HWND dialog, MEASUREITEMSTRUCT& item) {
  const HDC dc = GetDC(dialog);
  const HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(dialog, dc);
  item.itemHeight = static_cast<UINT>(metrics.tmHeight);
}

void DrawLogLine(HWND dialog, const DRAWITEMSTRUCT& item) {
  const HDC dc = item.hDC;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID != static_cast<UINT>(-1)) {
    const std::string line = LineText(item.hwndItem, item.itemID);
    const std::vector<std::string> fields = SplitFields(line);
    std::vector<int> widths;
    for (const std::string& field : fields) {
      SIZE size{};
      GetTextExtentPoint32A(dc, field.data(), static_cast<int>(field.size()), &size);
      widths.push_back(field.empty() ? 0 : size.cx);
    }
    const int origin = item.rcItem.left + kTextMargin;
    const std::vector<ListColumn> columns = LogListColumns(BaseUnitsOf(dialog));
    const std::vector<FieldPlacement> places =
        PlaceFields(widths, columns, item.rcItem.right - origin);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    for (std::size_t k = 0; k < fields.size() && k < places.size(); ++k) {
      if (places[k].width > 0) {
        DrawField(dc, fields[k], origin + places[k].left, item.rcItem.top, places[k].squeeze);
      }
    }
  }
  if ((item.itemState & ODS_FOCUS) != 0) {
    DrawFocusRect(dc, &item.rcItem);
  }
}

}  // namespace klxr::win32
