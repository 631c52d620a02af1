// The main window's menu (menu 214) and its accelerator table (table 214) as data. The desktop
// program builds its menu bar and keyboard shortcuts from these tables; every item and every
// accelerator sends its command id to the main window's one dispatch function.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "resources/command_ids.h"

namespace klxr {

inline constexpr int kMainMenuId = 214;
inline constexpr int kAcceleratorTableId = 214;

enum class MenuItemKind {
  Command,    // sends its command id when chosen
  Popup,      // opens its items
  Separator,  // a line between items
};

// One item of a pop-up menu. An "&" in a text marks the next letter as the mnemonic.
struct MenuItemTemplate {
  MenuItemKind kind;
  std::string_view text;  // 8-bit text; empty for a separator
  int commandId;          // 0 for a separator
  bool grayedAtStart;
};

// One entry of the menu bar: a pop-up with its items, or a command on the bar itself.
struct MenuBarEntry {
  MenuItemKind kind;  // Popup or Command
  std::string_view text;
  int commandId;  // 0 for a pop-up
  bool grayedAtStart;
  std::span<const MenuItemTemplate> items;  // empty for a command on the bar
};

inline constexpr std::array<MenuItemTemplate, 6> kFileMenuItems{{
    {MenuItemKind::Command, "&Load", cmd::kLoad, false},
    {MenuItemKind::Command, "&Save", cmd::kSave, false},
    {MenuItemKind::Command, "Ex&port (.csv)", cmd::kExport, false},
    {MenuItemKind::Command, "&Erase Log", cmd::kEraseLog, false},
    {MenuItemKind::Separator, "", 0, false},
    {MenuItemKind::Command, "E&xit", cmd::kExit, false},
}};

inline constexpr std::array<MenuItemTemplate, 2> kHelpMenuItems{{
    {MenuItemKind::Command, "&About ...", cmd::kAbout, false},
    {MenuItemKind::Command, "Version", cmd::kVersion, false},
}};

// Menu 214, left to right. "&View" starts grayed: there is no log to view yet.
inline constexpr std::array<MenuBarEntry, 4> kMainMenu{{
    {MenuItemKind::Popup, "&File", 0, false, kFileMenuItems},
    {MenuItemKind::Command, "&Read", cmd::kRead, false, {}},
    {MenuItemKind::Command, "&View", cmd::kView, true, {}},
    {MenuItemKind::Popup, "&Help", 0, false, kHelpMenuItems},
}};

// The program's own items of the File menu, added to menu 214 when the main window is made: a group
// of their own, placed before the File menu's last separator, so that E&xit stays the last item.
inline constexpr std::array<MenuItemTemplate, 3> kFileMenuProgramItems{{
    {MenuItemKind::Separator, "", 0, false},
    {MenuItemKind::Command, "&History...", cmd::kHistory, false},
    {MenuItemKind::Command, "Report (.pdf)...", cmd::kReport, false},
}};

// Where the program's own items go in the File menu: the position of its last separator.
constexpr std::size_t FileMenuProgramItemsPosition() {
  std::size_t position = kFileMenuItems.size();
  for (std::size_t i = 0; i < kFileMenuItems.size(); ++i) {
    if (kFileMenuItems[i].kind == MenuItemKind::Separator) {
      position = i;
    }
  }
  return position;
}

// One accelerator: a character key (the character typed, whatever physical key gives it, not a
// virtual key code) held with Alt, giving a command.
struct AcceleratorEntry {
  char character;
  bool alt;
  int commandId;
};

// Accelerator table 214: Alt + "?" and Alt + "/" both open the About box.
inline constexpr std::array<AcceleratorEntry, 2> kMainAccelerators{{
    {'?', true, cmd::kAbout},
    {'/', true, cmd::kAbout},
}};

// The program's keyboard shortcuts, beside accelerator table 214: a letter key held with Ctrl
// alone, giving the command of a menu item. The pop-ups show each beside its item ("Ctrl+O");
// "&Read" is a command on the menu bar itself, where no shortcut text is shown.
struct ShortcutEntry {
  char letter;  // the upper-case letter of the key, which is also its virtual key code
  int commandId;
};

// The Windows program's accelerator table of the shortcuts.
inline constexpr int kShortcutTableId = 215;

inline constexpr std::array<ShortcutEntry, 5> kMainShortcuts{{
    {'O', cmd::kLoad},
    {'S', cmd::kSave},
    {'E', cmd::kExport},
    {'R', cmd::kRead},
    {'Q', cmd::kExit},
}};

// How a menu shows the shortcut: "Ctrl+O".
inline std::string ShortcutText(const ShortcutEntry& shortcut) {
  return std::string("Ctrl+") + shortcut.letter;
}

// The shortcut of a command, or null when it has none.
constexpr const ShortcutEntry* FindShortcut(int commandId) {
  for (const ShortcutEntry& shortcut : kMainShortcuts) {
    if (shortcut.commandId == commandId) {
      return &shortcut;
    }
  }
  return nullptr;
}

}  // namespace klxr
