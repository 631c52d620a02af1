// The program's dialog templates as data: each dialog's id, title, font and geometry, and its
// controls in template order, which is also the order in which Tab moves between them. Positions
// and sizes are dialog units of the dialog's font: a horizontal unit is a quarter of the font's
// average character width, a vertical unit an eighth of its height. The desktop program turns a
// template into a window with one small builder.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace klxr {

// Template ids.
namespace dlg {
inline constexpr int kAbout = 110;
inline constexpr int kFileChooser = 150;
inline constexpr int kDeviceList = 158;
inline constexpr int kLogViewer = 208;
}  // namespace dlg

// Control ids, by the dialog that holds them. 1 and 2 are the OK and Cancel commands everywhere.
namespace ctl {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
// Every static text that code never addresses shares this id; the builder finds it by position.
inline constexpr int kStatic = -1;

inline constexpr int kChooserList = 1049;
inline constexpr int kChooserNameField = 1064;
inline constexpr int kChooserFolderLabel = 1066;
inline constexpr int kChooserShowAll = 1067;

inline constexpr int kDeviceList = 1089;
inline constexpr int kDeviceCount = 1092;

inline constexpr int kAboutText = 1096;

inline constexpr int kViewerList = 1098;
inline constexpr int kViewerExport = 1100;
inline constexpr int kViewerShowDbuv = 1106;
inline constexpr int kViewerVideoUnit = 1107;
inline constexpr int kViewerAudioUnit = 1108;
inline constexpr int kViewerDigitalUnit = 1109;
}  // namespace ctl

enum class ControlKind {
  PushButton,
  ListBox,
  Label,
  EditField,
  CheckBox,  // an automatic check box: a click ticks or unticks it, then reports the click
};

// Style notes of a control; combine them with |.
enum class ControlStyle : std::uint32_t {
  None = 0,
  TabStop = 1u << 0,
  DefaultButton = 1u << 1,  // Enter presses it when no other button has the focus
  Border = 1u << 2,
  VerticalScroll = 1u << 3,
  Sorted = 1u << 4,            // a list that keeps its entries sorted by text, case ignored
  Notify = 1u << 5,            // reports selection changes, double-clicks and clicks
  NoIntegralHeight = 1u << 6,  // a list keeps its exact height even when a row is cut
  UseTabStops = 1u << 7,       // a list that expands tabs to the dialog's tab positions
  Sunken = 1u << 8,
  Centred = 1u << 9,  // text centred across the control
  LeftAligned = 1u << 10,
  VerticallyCentred = 1u << 11,
  NoMnemonic = 1u << 12,  // "&" is shown as such
  AutoHorizontalScroll = 1u << 13,
  EnterActsAsOk = 1u << 14,  // Enter typed into an edit field runs the OK command
};

constexpr ControlStyle operator|(ControlStyle a, ControlStyle b) {
  return static_cast<ControlStyle>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}

constexpr bool HasStyle(ControlStyle styles, ControlStyle flag) {
  return (static_cast<std::uint32_t>(styles) & static_cast<std::uint32_t>(flag)) != 0;
}

// Frame notes of a dialog; combine them with |.
enum class DialogFrame : std::uint32_t {
  None = 0,
  Popup = 1u << 0,
  TitleBar = 1u << 1,
  SystemMenu = 1u << 2,  // the title bar has a close box
  ModalFrame = 1u << 3,  // a dialog frame that cannot be resized
};

constexpr DialogFrame operator|(DialogFrame a, DialogFrame b) {
  return static_cast<DialogFrame>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}

constexpr bool HasFrame(DialogFrame frame, DialogFrame flag) {
  return (static_cast<std::uint32_t>(frame) & static_cast<std::uint32_t>(flag)) != 0;
}

struct ControlTemplate {
  int id;
  ControlKind kind;
  std::string_view text;  // 8-bit text
  int x;
  int y;
  int width;
  int height;
  ControlStyle styles;
};

struct DialogTemplate {
  int id;
  std::string_view title;  // 8-bit text; empty when the dialog sets it when it opens
  std::string_view fontName;
  int fontPointSize;
  int x;  // position relative to the owner's client area
  int y;
  int width;  // size of the client area
  int height;
  DialogFrame frame;
  std::span<const ControlTemplate> controls;  // template order = Tab order
};

// The four templates of the program.
const DialogTemplate& FileChooserTemplate();
const DialogTemplate& DeviceListTemplate();
const DialogTemplate& LogViewerTemplate();
const DialogTemplate& AboutTemplate();

// The template with the given id, or nullptr.
const DialogTemplate* FindDialogTemplate(int dialogId);

// The control with the given id in a template, or nullptr. kStatic finds nothing.
const ControlTemplate* FindControlTemplate(const DialogTemplate& dialog, int controlId);

// Tab positions of the log viewer's list, in dialog units from the list's left edge. Field k of a
// display line (field 0 at the left edge) starts at position k, under its heading.
inline constexpr std::array<int, 18> LogTabStops{40,  90,  139, 178, 217, 273, 315, 321, 350,
                                                 356, 388, 427, 473, 479, 512, 518, 547, 558};

}  // namespace klxr
