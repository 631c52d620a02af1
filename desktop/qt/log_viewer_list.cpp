#include "desktop/qt/log_viewer_list.h"

#include <QApplication>
#include <QFontMetrics>
#include <QListWidget>
#include <QPainter>
#include <algorithm>
#include <utility>

namespace klxr {
std::vector<FieldPlacement> PlaceLine(const QString& line, const QFontMetrics& metrics,
                                      std::span<const ListColumn> columns, int right) {
  std::vector<int> widths;
  for (const QString& field : line.split(QLatin1Char('\t'))) {
    widths.push_back(field.isEmpty() ? 0 : metrics.horizontalAdvance(field));
  }
  return PlaceFields(widths, columns, right);
}

TabbedLineDelegate::TabbedLineDelegate(std::vector<ListColumn> columns, QObject* parent)
    : QStyledItemDelegate(parent), columns_(std::move(columns)) {}

void TabbedLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  QStyleOptionViewItem item = option;
  initStyleOption(&item, index);
  const QString line = item.text;
  item.text.clear();
  const QWidget* widget = item.widget;
  QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  // Background, selection and focus frame as the style draws them; the text follows.
  style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

  const QFontMetrics metrics(item.font);
  const QRect row = item.rect;
  const int origin = row.left() + kListTextMargin;
  const std::vector<FieldPlacement> placements =
      PlaceLine(line, metrics, columns_, row.right() + 1 - origin);
  const QStringList fields = line.split(QLatin1Char('\t'));
  const bool selected = (item.state & QStyle::State_Selected) != 0;
  const QPalette::ColorGroup group =
      (item.state & QStyle::State_Enabled) != 0 ? QPalette::Normal : QPalette::Disabled;

  painter->save();
  painter->setFont(item.font);
  painter->setPen(item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
  for (qsizetype k = 0; k < fields.size(); ++k) {
    const FieldPlacement& place = placements[static_cast<std::size_t>(k)];
    if (place.width == 0) {
      continue;
    }
    painter->save();
    painter->translate(origin + place.left, row.top());
    painter->scale(place.squeeze, 1.0);
    const int natural = metrics.horizontalAdvance(fields[k]);
    painter->drawText(QRect(0, 0, natural, row.height()),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, fields[k]);
    painter->restore();
  }
  painter->restore();
}

QSize TabbedLineDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& /*index*/) const {
  return {option.rect.width(), QFontMetrics(option.font).height()};
}

void MakeTabbedList(QListWidget& list, DialogBaseUnits units) {
  list.setItemDelegate(new TabbedLineDelegate(LogListColumns(units), &list));
  list.setUniformItemSizes(true);
  list.setTextElideMode(Qt::ElideNone);
}

}  // namespace klxr
