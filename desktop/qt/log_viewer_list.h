// The log viewer's list in Qt: one display line per row, its fields drawn where
// desktop/log_viewer_lines.h places them. The row's text stays the display line as it is, tabs
// included.
#pragma once

#include <QStyledItemDelegate>
#include <span>
#include <vector>

#include "desktop/log_viewer_lines.h"
#include "desktop/qt/dialog_units.h"

class QFontMetrics;
class QListWidget;

namespace klxr {

// Pixels between the list's inner left edge and tab position 0, as a list box draws its text.
inline constexpr int kListTextMargin = 2;

// The fields of a line in a font, placed within the given width.
std::vector<FieldPlacement> PlaceLine(const QString& line, const QFontMetrics& metrics,
                                      std::span<const ListColumn> columns, int right);

// Draws each row of a list as a tabbed line.
class TabbedLineDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  TabbedLineDelegate(std::vector<ListColumn> columns, QObject* parent);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  const std::vector<ListColumn>& Columns() const { return columns_; }

 private:
  std::vector<ListColumn> columns_;
};

// Makes a list of the viewer's template a tabbed list with the viewer's columns; rows are one line
// of the font high.
void MakeTabbedList(QListWidget& list, DialogBaseUnits units);

}  // namespace klxr
