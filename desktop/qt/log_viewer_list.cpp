#include "desktop/qt/log_viewer_list.h"

#include <QApplication>
#include <QFontMetrics>
#include <QListWidget>
#include <QPainter>
#include <algorithm>
#include <utility>

#include "resources/dialog_templates.h"

namespace klxr {
namespace {

// The gap kept before the next field's text, in dialog units across.
constexpr int kClearanceUnits = 2;

// The columns that hold a value after its range mark: "Vid. Pwr", "Aud. Pwr", "Dig. Pwr", "MER/CN".
constexpr int kValueAfterMark[] = {8, 10, 14, 16};

bool FollowsRangeMark(int column) {
  return std::find(std::begin(kValueAfterMark), std::end(kValueAfterMark), column) !=
         std::end(kValueAfterMark);
}

// The end of the room of field k: the start of the next field with text, less its clearance, or
// the line's right end.
int RoomEnd(std::span<const int> textWidths, std::span<const ListColumn> columns, std::size_t k,
            int right) {
  for (std::size_t next = k + 1; next < textWidths.size() && next < columns.size(); ++next) {
    if (textWidths[next] > 0) {
      return columns[next].left - columns[next].clearance;
    }
  }
  return right;
}

}  // namespace

std::vector<ListColumn> LogListColumns(DialogBaseUnits units) {
  const int clearance = kClearanceUnits * units.cx / 4;
  std::vector<ListColumn> columns{{0, clearance}};
  for (int stop : LogTabStops) {
    const int column = static_cast<int>(columns.size());
    columns.push_back({stop * units.cx / 4, FollowsRangeMark(column) ? 0 : clearance});
  }
  return columns;
}

std::vector<FieldPlacement> PlaceFields(std::span<const int> textWidths,
                                        std::span<const ListColumn> columns, int right) {
  std::vector<FieldPlacement> placements;
  placements.reserve(textWidths.size());
  int textEnd = 0;  // where the text drawn so far ends
  for (std::size_t k = 0; k < textWidths.size(); ++k) {
    const int natural = textWidths[k];
    if (k >= columns.size()) {
      const int clearance = columns.empty() ? 0 : columns.back().clearance;
      const int left = textEnd + (natural > 0 && textEnd > 0 ? clearance : 0);
      placements.push_back({left, natural, 1.0});
      textEnd = left + natural;
      continue;
    }
    const int left = columns[k].left;
    const int room = std::max(1, RoomEnd(textWidths, columns, k, right) - left);
    if (natural <= room) {
      placements.push_back({left, natural, 1.0});
    } else {
      placements.push_back({left, room, static_cast<double>(room) / natural});
    }
    if (natural > 0) {
      textEnd = left + placements.back().width;
    }
  }
  return placements;
}

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
