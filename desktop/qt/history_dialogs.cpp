#include "desktop/qt/history_dialogs.h"

#include <QColor>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "desktop/history_controls.h"
#include "desktop/qt/template_dialog.h"

namespace klxr {
namespace {

QString Utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPushButton* AddButton(QDialog& dialog, QHBoxLayout& row, int id, const QString& text) {
  auto* button = new QPushButton(text, &dialog);
  button->setObjectName(ControlObjectName(id));
  row.addWidget(button);
  return button;
}

// A light tint of the row's verdict; none for the rest.
QColor VerdictTint(Verdict verdict) {
  switch (verdict) {
    case Verdict::Worse:
      return QColor(255, 222, 222);
    case Verdict::Better:
      return QColor(222, 245, 222);
    case Verdict::Unchanged:
    case Verdict::OnlyBefore:
    case Verdict::OnlyAfter:
      break;
  }
  return {};
}

QTableWidget* MakeComparisonTable(const ComparisonTable& table, QDialog& dialog) {
  auto* widget = new QTableWidget(static_cast<int>(table.rows.size()),
                                  static_cast<int>(kComparisonHeadings.size()), &dialog);
  widget->setObjectName(ControlObjectName(history::kComparisonTable));
  widget->setAccessibleName(QStringLiteral("Differences"));
  QStringList headings;
  for (const std::string_view heading : kComparisonHeadings) {
    headings << QString::fromLatin1(heading.data(), static_cast<qsizetype>(heading.size()));
  }
  widget->setHorizontalHeaderLabels(headings);
  widget->setEditTriggers(QAbstractItemView::NoEditTriggers);
  widget->setSelectionBehavior(QAbstractItemView::SelectRows);
  widget->setTabKeyNavigation(false);
  widget->verticalHeader()->hide();
  widget->verticalHeader()->setDefaultSectionSize(widget->fontMetrics().height() * 3 / 2);
  for (std::size_t row = 0; row < table.rows.size(); ++row) {
    const QColor tint = VerdictTint(table.verdicts[row]);
    for (std::size_t column = 0; column < kComparisonHeadings.size(); ++column) {
      auto* item = new QTableWidgetItem(Utf8(table.rows[row][column]));
      // The verdict, channel and status are words; the rest are numbers.
      if (column >= 2 && column + 1 < kComparisonHeadings.size()) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      }
      if (tint.isValid()) {
        item->setBackground(tint);
        item->setForeground(Qt::black);
      }
      widget->setItem(static_cast<int>(row), static_cast<int>(column), item);
    }
  }
  widget->resizeColumnsToContents();
  return widget;
}

QLabel* AddLabel(QDialog& dialog, QVBoxLayout& layout, int id, const std::string& text) {
  auto* label = new QLabel(Utf8(text), &dialog);
  label->setObjectName(ControlObjectName(id));
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout.addWidget(label);
  return label;
}

}  // namespace

LabelDialog::LabelDialog(const QString& site, const QString& note, QWidget* owner)
    : QDialog(owner), site_(new QLineEdit(site, this)), note_(new QLineEdit(note, this)) {
  setWindowTitle(QStringLiteral("Label"));
  site_->setObjectName(ControlObjectName(history::kLabelSite));
  note_->setObjectName(ControlObjectName(history::kLabelNote));
  const int width = site_->fontMetrics().averageCharWidth() * 48;
  site_->setMinimumWidth(width);
  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("&Site:"), site_);
  fields->addRow(QStringLiteral("&Note:"), note_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  QPushButton* ok = AddButton(*this, *buttons, 1, QStringLiteral("OK"));
  QPushButton* cancel = AddButton(*this, *buttons, 2, QStringLiteral("Cancel"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* whole = new QVBoxLayout(this);
  whole->addLayout(fields);
  whole->addLayout(buttons);
  site_->setFocus();
  site_->selectAll();
}

QString LabelDialog::Site() const {
  return site_->text();
}

QString LabelDialog::Note() const {
  return note_->text();
}

ComparisonDialog::ComparisonDialog(const ComparisonTable& table, QWidget* owner)
    : QDialog(owner), table_(MakeComparisonTable(table, *this)) {
  setWindowTitle(QStringLiteral("Comparison"));
  auto* whole = new QVBoxLayout(this);
  AddLabel(*this, *whole, history::kComparisonTitle, table.title);
  whole->addWidget(table_, 1);
  AddLabel(*this, *whole, history::kComparisonSummary, table.summary)
      ->setStyleSheet(QStringLiteral("font-weight: bold"));
  AddLabel(*this, *whole, history::kComparisonUnits, table.units);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  QPushButton* close =
      AddButton(*this, *buttons, history::kComparisonClose, QStringLiteral("Close"));
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  whole->addLayout(buttons);
  // The whole width of the columns, within the screen.
  const int tableWidth = table_->horizontalHeader()->length() + table_->frameWidth() * 2 +
                         table_->verticalScrollBar()->sizeHint().width() +
                         whole->contentsMargins().left() + whole->contentsMargins().right();
  resize(QSize(std::max(tableWidth, 600), 460).boundedTo(screen()->availableSize()));
  table_->setFocus();
}

}  // namespace klxr
