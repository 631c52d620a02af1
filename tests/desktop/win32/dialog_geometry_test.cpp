// The dialogs as the system builds them from the program's resources: each control in template
// order with its id, class and rectangle, converted back to dialog units, as the tables say; and
// what the About box and the device list show when they open.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktop/win32/about_box.h"
#include "desktop/win32/device_list_dialog.h"
#include "resources/dialog_templates.h"

namespace klxr::win32 {
namespace {

INT_PTR CALLBACK LeaveAlone(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

// Creates a dialog from its resource, hidden (no template has WS_VISIBLE).
HWND CreateFromResource(int dialogId, DLGPROC procedure = LeaveAlone) {
  return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialogId), nullptr,
                            procedure, 0);
}

// The system's window class of each kind of control.
const char* ExpectedClass(ControlKind kind) {
  switch (kind) {
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
      return "Button";
    case ControlKind::ListBox:
      return "ListBox";
    case ControlKind::Label:
      return "Static";
    case ControlKind::EditField:
      return "Edit";
  }
  return "";
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// A pixel position in the dialog's client area as dialog units: the inverse of MapDialogRect,
// rounded to the nearest unit.
int ToUnits(int pixels, int unitsPerBase, int basePixels) {
  return MulDiv(pixels, unitsPerBase, basePixels);
}

TEST(DialogGeometryTest, EveryControlSitsWhereItsTemplateSays) {
  for (const DialogTemplate* dialog :
       {&AboutTemplate(), &FileChooserTemplate(), &DeviceListTemplate(), &LogViewerTemplate()}) {
    SCOPED_TRACE("dialog " + std::to_string(dialog->id));
    const HWND window = CreateFromResource(dialog->id);
    ASSERT_NE(window, nullptr) << GetLastError();
    EXPECT_FALSE(IsWindowVisible(window));
    RECT base{0, 0, 4, 8};
    MapDialogRect(window, &base);
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      children.push_back(child);
    }
    ASSERT_EQ(children.size(), dialog->controls.size());
    for (std::size_t i = 0; i < children.size(); ++i) {
      const ControlTemplate& control = dialog->controls[i];
      SCOPED_TRACE("control " + std::to_string(i) + " " + std::string(control.text));
      EXPECT_EQ(GetDlgCtrlID(children[i]) & 0xffff, control.id & 0xffff);
      EXPECT_EQ(lstrcmpiA(ClassOf(children[i]).c_str(), ExpectedClass(control.kind)), 0)
          << ClassOf(children[i]);
      RECT rect;
      GetWindowRect(children[i], &rect);
      MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
      const int left = ToUnits(rect.left, 4, base.right);
      const int top = ToUnits(rect.top, 8, base.bottom);
      EXPECT_EQ(left, control.x);
      EXPECT_EQ(top, control.y);
      EXPECT_EQ(ToUnits(rect.right, 4, base.right) - left, control.width);
      const int height = ToUnits(rect.bottom, 8, base.bottom) - top;
      if (control.kind == ControlKind::ListBox &&
          !HasStyle(control.styles, ControlStyle::NoIntegralHeight)) {
        // The system shortens such a list to a whole number of rows.
        const auto row = static_cast<int>(SendMessageA(children[i], LB_GETITEMHEIGHT, 0, 0));
        EXPECT_LE(height, control.height);
        EXPECT_GT(height, control.height - ToUnits(row, 8, base.bottom) - 1);
      } else {
        EXPECT_EQ(height, control.height);
      }
    }
    DestroyWindow(window);
  }
}

TEST(DialogGeometryTest, AboutBoxShowsItsTitleAndTheProductLineWithTheVersion) {
  const HWND window = CreateFromResource(dlg::kAbout, AboutBoxProc);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(TextOf(window), "About...");
  EXPECT_EQ(TextOf(GetDlgItem(window, ctl::kAboutText)), "Quorvel KLXR Meter V1.14");
  DestroyWindow(window);
}

TEST(DialogGeometryTest, DeviceListShowsTheVersionTextsSortedAndTheirCount) {
  const struct {
    std::vector<std::string> texts;
    std::vector<std::string> listed;
  } kCases[] = {
      {{}, {}},
      {{"KLXR V2.10", "KLXR V1.02"}, {"KLXR V1.02", "KLXR V2.10"}},
  };
  for (const auto& c : kCases) {
    const HWND window = CreateFromResource(dlg::kDeviceList);
    ASSERT_NE(window, nullptr);
    FillDeviceList(window, c.texts);
    EXPECT_EQ(TextOf(window), "USB Devices");
    const HWND list = GetDlgItem(window, ctl::kDeviceList);
    std::vector<std::string> listed;
    for (LRESULT i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
      char line[256] = {};
      SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line));
      listed.emplace_back(line);
    }
    EXPECT_EQ(listed, c.listed);
    EXPECT_EQ(TextOf(GetDlgItem(window, ctl::kDeviceCount)), std::to_string(c.texts.size()));
    DestroyWindow(window);
  }
}

}  // namespace
}  // namespace klxr::win32
