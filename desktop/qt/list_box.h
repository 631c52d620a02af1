// Lists in dialogs: adding an entry keeps a sorted list sorted, the way the program's sorted list
// boxes do.
#pragma once

#include <QListWidget>
#include <QString>

namespace klxr {

// Set by the builder on a list made from a template list with the Sorted style.
inline constexpr char kSortedListProperty[] = "sortedList";

// Two entry texts in the order of a sorted list: by their text, case ignored.
bool ListTextLess(const QString& a, const QString& b);

// Adds an entry and returns its row: at the end, or in a sorted list after the entries that do
// not sort after it.
int AddListString(QListWidget& list, const QString& text);

}  // namespace klxr
