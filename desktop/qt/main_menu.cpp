#include "desktop/qt/main_menu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include "desktop/qt/eight_bit_text.h"

namespace klxr {
namespace {

void SetUpCommandAction(QAction& action, int commandId, bool grayed, const CommandSink& sink) {
  action.setProperty(kCommandIdProperty, commandId);
  action.setEnabled(!grayed);
  QObject::connect(&action, &QAction::triggered, [sink, commandId] { sink(commandId); });
}

void AddPopup(QMenuBar& bar, const MenuBarEntry& entry, const CommandSink& sink) {
  QMenu* popup = bar.addMenu(TextToQString(entry.text));
  for (const MenuItemTemplate& item : entry.items) {
    if (item.kind == MenuItemKind::Separator) {
      popup->addSeparator();
      continue;
    }
    QAction* action = popup->addAction(TextToQString(item.text));
    SetUpCommandAction(*action, item.commandId, item.grayedAtStart, sink);
  }
}

QAction* FindIn(const QList<QAction*>& actions, int commandId) {
  for (QAction* action : actions) {
    const QVariant id = action->property(kCommandIdProperty);
    if (id.isValid() && id.toInt() == commandId) {
      return action;
    }
    if (QMenu* popup = action->menu()) {
      if (QAction* found = FindIn(popup->actions(), commandId)) {
        return found;
      }
    }
  }
  return nullptr;
}

}  // namespace

void BuildMenuBar(QMenuBar& bar, std::span<const MenuBarEntry> menu, const CommandSink& sink) {
  for (const MenuBarEntry& entry : menu) {
    if (entry.kind == MenuItemKind::Popup) {
      AddPopup(bar, entry, sink);
      continue;
    }
    QAction* action = bar.addAction(TextToQString(entry.text));
    SetUpCommandAction(*action, entry.commandId, entry.grayedAtStart, sink);
  }
}

void InsertPopupItems(QMenuBar& bar, std::size_t popupIndex, std::size_t position,
                      std::span<const MenuItemTemplate> items, const CommandSink& sink) {
  const QList<QAction*> entries = bar.actions();
  QMenu* popup = popupIndex < static_cast<std::size_t>(entries.size())
                     ? entries[static_cast<qsizetype>(popupIndex)]->menu()
                     : nullptr;
  if (popup == nullptr) {
    return;
  }
  QAction* before = popup->actions().value(static_cast<qsizetype>(position), nullptr);
  for (const MenuItemTemplate& item : items) {
    if (item.kind == MenuItemKind::Separator) {
      popup->insertSeparator(before);
      continue;
    }
    auto* action = new QAction(TextToQString(item.text), popup);
    popup->insertAction(before, action);
    SetUpCommandAction(*action, item.commandId, item.grayedAtStart, sink);
  }
}

QAction* FindCommandAction(const QMenuBar& bar, int commandId) {
  return FindIn(bar.actions(), commandId);
}

void AssignShortcuts(const QMenuBar& bar, std::span<const ShortcutEntry> shortcuts) {
  for (const ShortcutEntry& shortcut : shortcuts) {
    if (QAction* action = FindCommandAction(bar, shortcut.commandId)) {
      // Qt's key code of a letter key is the upper-case letter itself.
      action->setShortcut(QKeySequence(Qt::ControlModifier | Qt::Key(shortcut.letter)));
    }
  }
}

int AcceleratorCommand(std::span<const AcceleratorEntry> table, int key,
                       Qt::KeyboardModifiers modifiers) {
  const bool alt = modifiers.testFlag(Qt::AltModifier);
  if (modifiers.testFlag(Qt::ControlModifier)) {
    return 0;
  }
  for (const AcceleratorEntry& entry : table) {
    // Qt reports a printable ASCII character by its own code as the key.
    if (entry.alt == alt && key == static_cast<unsigned char>(entry.character)) {
      return entry.commandId;
    }
  }
  return 0;
}

}  // namespace klxr
