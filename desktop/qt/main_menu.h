// The main window's menu bar and accelerators, built from the menu and accelerator tables of the
// resources. Every menu action carries its command id; choosing it hands the id to one sink, the
// main window's dispatch. The accelerators give their command id the same way.
#pragma once

#include <QMenuBar>
#include <Qt>
#include <cstddef>
#include <functional>
#include <span>

#include "resources/menu_table.h"

class QAction;

namespace klxr {

// The dynamic property each menu action carries: its command id.
inline constexpr char kCommandIdProperty[] = "commandId";

using CommandSink = std::function<void(int commandId)>;

// Fills an empty menu bar from the table, in order: pop-ups with their items and separators, and
// commands on the bar itself. Items grayed at start are disabled.
void BuildMenuBar(QMenuBar& bar, std::span<const MenuBarEntry> menu, const CommandSink& sink);

// Adds items to the pop-up of the menu bar's entry at popupIndex, before its item at position (at
// its end when there is none), as BuildMenuBar adds the table's own.
void InsertPopupItems(QMenuBar& bar, std::size_t popupIndex, std::size_t position,
                      std::span<const MenuItemTemplate> items, const CommandSink& sink);

// The action of a command anywhere in the menu bar, or nullptr.
QAction* FindCommandAction(const QMenuBar& bar, int commandId);

// Gives each command of the shortcut table its key, Ctrl and the letter, on its action in the menu
// bar; a pop-up shows it beside the item ("Ctrl+O"). The window's shortcuts take the key before
// the window sees it, so AcceleratorCommand (which leaves Ctrl alone) never gets it.
void AssignShortcuts(const QMenuBar& bar, std::span<const ShortcutEntry> shortcuts);

// The command an accelerator table gives for a key typed with these modifiers, or 0 for none.
// Accelerators are character keys: key is the character typed as Qt reports it (Qt::Key_Question
// for "?", whichever physical key and Shift state produced it). Alt must be held and Ctrl must
// not; Shift is part of typing the character and is not looked at.
int AcceleratorCommand(std::span<const AcceleratorEntry> table, int key,
                       Qt::KeyboardModifiers modifiers);

}  // namespace klxr
