#include "desktop/qt/list_box.h"

namespace klxr {

bool ListTextLess(const QString& a, const QString& b) {
  return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

int AddListString(QListWidget& list, const QString& text) {
  int row = list.count();
  if (list.property(kSortedListProperty).toBool()) {
    int low = 0;
    int high = list.count();
    while (low < high) {
      const int middle = low + (high - low) / 2;
      if (ListTextLess(text, list.item(middle)->text())) {
        high = middle;
      } else {
        low = middle + 1;
      }
    }
    row = low;
  }
  list.insertItem(row, text);
  return row;
}

}  // namespace klxr
