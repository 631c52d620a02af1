#include "desktop/qt/history_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "desktop/history_controls.h"
#include "desktop/qt/history_dialogs.h"
#include "desktop/qt/run_file_chooser.h"
#include "desktop/qt/template_dialog.h"

namespace klxr {
namespace {

struct ActionButton {
  int id;
  const char* text;
  HistoryAction action;
};

constexpr ActionButton kActionButtons[] = {
    {history::kOpen, "&Open", HistoryAction::Open},
    {history::kLabel, "&Label...", HistoryAction::Label},
    {history::kExport, "&Export...", HistoryAction::Export},
    {history::kCompare, "&Compare...", HistoryAction::Compare},
    {history::kForget, "&Forget", HistoryAction::Forget},
};

QString Utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QPushButton* MakeButton(QDialog& dialog, int id, const char* text) {
  auto* button = new QPushButton(QString::fromLatin1(text), &dialog);
  button->setObjectName(ControlObjectName(id));
  button->setAutoDefault(false);
  return button;
}

// Each column as wide as its heading with the sort mark, or its sample value, whichever is wider;
// the rows as high as a line of text with a little room.
void SizeColumns(QTableWidget& table) {
  const QFontMetrics cells = table.fontMetrics();
  const QFontMetrics headings = table.horizontalHeader()->fontMetrics();
  const int sortMark = headings.height();
  const int padding = cells.averageCharWidth() * 2;
  for (std::size_t i = 0; i < kHistoryColumns.size(); ++i) {
    const HistoryColumnInfo& column = kHistoryColumns[i];
    const int heading = headings.horizontalAdvance(Latin1(column.heading)) + sortMark;
    const int sample = cells.horizontalAdvance(Latin1(column.sample));
    table.setColumnWidth(static_cast<int>(i), std::max(heading, sample) + padding);
  }
  table.verticalHeader()->setDefaultSectionSize(cells.height() + cells.height() / 2);
}

QTableWidget* MakeTable(QDialog& dialog) {
  auto* table = new QTableWidget(0, static_cast<int>(kHistoryColumns.size()), &dialog);
  table->setObjectName(ControlObjectName(history::kList));
  QStringList headings;
  for (const HistoryColumnInfo& column : kHistoryColumns) {
    headings << Latin1(column.heading);
  }
  table->setHorizontalHeaderLabels(headings);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setTabKeyNavigation(false);
  table->setWordWrap(false);
  table->verticalHeader()->hide();
  table->horizontalHeader()->setSectionsClickable(true);
  table->horizontalHeader()->setSortIndicatorShown(true);
  table->horizontalHeader()->setStretchLastSection(true);
  SizeColumns(*table);
  return table;
}

QComboBox* MakeFormatChoice(QDialog& dialog) {
  auto* format = new QComboBox(&dialog);
  format->setObjectName(ControlObjectName(history::kExportFormat));
  for (const HistoryExportChoice& choice : kHistoryExportChoices) {
    format->addItem(Latin1(choice.name));
  }
  return format;
}

}  // namespace

HistoryWindow::HistoryWindow(HistoryCommands& history, QWidget* owner)
    : QDialog(owner),
      history_(history),
      table_(MakeTable(*this)),
      format_(MakeFormatChoice(*this)),
      status_(new QLabel(this)) {
  setWindowTitle(QStringLiteral("History"));
  status_->setObjectName(ControlObjectName(history::kStatus));
  auto* buttons = new QVBoxLayout;
  for (const ActionButton& entry : kActionButtons) {
    QPushButton* button = MakeButton(*this, entry.id, entry.text);
    connect(button, &QPushButton::clicked, this, [this, entry] { Act(entry.action); });
    actions_.push_back(button);
    buttons->addWidget(button);
    if (entry.id == history::kExport) {
      auto* formatLabel = new QLabel(QStringLiteral("Export &as:"), this);
      formatLabel->setBuddy(format_);
      buttons->addWidget(formatLabel);
      buttons->addWidget(format_);
      buttons->addSpacing(8);
    }
  }
  buttons->addStretch(1);
  QPushButton* close = MakeButton(*this, history::kClose, "Close");
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(close);
  auto* listAndButtons = new QHBoxLayout;
  listAndButtons->addWidget(table_, 1);
  listAndButtons->addLayout(buttons);
  auto* whole = new QVBoxLayout(this);
  whole->addLayout(listAndButtons, 1);
  whole->addWidget(status_);
  connect(table_->horizontalHeader(), &QHeaderView::sectionClicked, this,
          &HistoryWindow::OnHeadingClicked);
  connect(table_, &QTableWidget::itemSelectionChanged, this, &HistoryWindow::UpdateButtons);
  connect(table_, &QTableWidget::cellDoubleClicked, this,
          [this](int, int) { Act(HistoryAction::Open); });
  // Enter in the table opens the survey selected, as a double click does.
  QPushButton* open = actions_.front();
  open->setDefault(true);
  // The whole width of the columns and about twelve rows, within the screen.
  const QSize wanted(table_->horizontalHeader()->length() + table_->frameWidth() * 2 +
                         table_->verticalScrollBar()->sizeHint().width() +
                         format_->sizeHint().width() + whole->contentsMargins().left() * 4,
                     table_->verticalHeader()->defaultSectionSize() * 12 +
                         table_->horizontalHeader()->sizeHint().height() +
                         status_->sizeHint().height() * 3);
  resize(wanted.boundedTo(screen()->availableSize()));
  // Tab goes from the table down the buttons, the format after Export, then Close.
  QWidget* previous = table_;
  for (QPushButton* button : actions_) {
    setTabOrder(previous, button);
    previous = button;
    if (button->objectName() == ControlObjectName(history::kExport)) {
      setTabOrder(previous, format_);
      previous = format_;
    }
  }
  setTabOrder(previous, close);
  table_->setFocus();
  Reload(std::nullopt);
}

QPushButton& HistoryWindow::Button(int controlId) const {
  return *findChild<QPushButton*>(ControlObjectName(controlId), Qt::FindDirectChildrenOnly);
}

std::optional<archive::SurveyId> HistoryWindow::Selected() const {
  const QList<QTableWidgetItem*> items = table_->selectedItems();
  if (items.isEmpty()) {
    return std::nullopt;
  }
  const std::size_t row = static_cast<std::size_t>(items.front()->row());
  return row < rows_.size() ? std::optional<archive::SurveyId>(rows_[row].survey.id) : std::nullopt;
}

bool HistoryWindow::Select(archive::SurveyId id) {
  for (std::size_t row = 0; row < rows_.size(); ++row) {
    if (rows_[row].survey.id == id) {
      table_->selectRow(static_cast<int>(row));
      table_->scrollToItem(table_->item(static_cast<int>(row), 0));
      return true;
    }
  }
  return false;
}

void HistoryWindow::OnHeadingClicked(int section) {
  if (section < 0 || section >= static_cast<int>(kHistoryColumns.size())) {
    return;
  }
  const HistoryColumn clicked = kHistoryColumns[static_cast<std::size_t>(section)].column;
  ascending_ = AscendingAfterClick(clicked, sortedBy_, ascending_);
  sortedBy_ = clicked;
  const std::optional<archive::SurveyId> selected = Selected();
  SortRows(rows_, sortedBy_, ascending_);
  Fill();
  if (selected) {
    Select(*selected);
  }
}

void HistoryWindow::Reload(std::optional<archive::SurveyId> keep) {
  const int previousRow = table_->currentRow();
  rows_ = history_.Rows();
  SortRows(rows_, sortedBy_, ascending_);
  Fill();
  if (!(keep && Select(*keep)) && !rows_.empty()) {
    table_->selectRow(std::clamp(previousRow, 0, static_cast<int>(rows_.size()) - 1));
  }
  status_->setText(Utf8(HistoryStatus(rows_.size())));
  UpdateButtons();
}

void HistoryWindow::Fill() {
  table_->clearContents();
  table_->setRowCount(static_cast<int>(rows_.size()));
  for (std::size_t row = 0; row < rows_.size(); ++row) {
    for (std::size_t column = 0; column < kHistoryColumns.size(); ++column) {
      auto* item = new QTableWidgetItem(Utf8(CellText(rows_[row], kHistoryColumns[column].column)));
      if (kHistoryColumns[column].rightAligned) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      }
      table_->setItem(static_cast<int>(row), static_cast<int>(column), item);
    }
  }
  const int section = static_cast<int>(
      std::find_if(kHistoryColumns.begin(), kHistoryColumns.end(),
                   [this](const HistoryColumnInfo& info) { return info.column == sortedBy_; }) -
      kHistoryColumns.begin());
  table_->horizontalHeader()->setSortIndicator(
      section, ascending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void HistoryWindow::UpdateButtons() {
  const bool selected = Selected().has_value();
  for (QPushButton* button : actions_) {
    button->setEnabled(selected);
  }
  format_->setEnabled(selected);
}

void HistoryWindow::Act(HistoryAction action) {
  const std::optional<archive::SurveyId> id = Selected();
  if (!id) {
    return;
  }
  CommandOutcome outcome;
  switch (action) {
    case HistoryAction::Open:
      outcome = history_.Open(*id);
      break;
    case HistoryAction::Label:
      outcome = history_.Label(*id, *this);
      break;
    case HistoryAction::Export:
      outcome = history_.Export(
          *id,
          kHistoryExportChoices[static_cast<std::size_t>(std::max(0, format_->currentIndex()))]
              .format,
          *this);
      break;
    case HistoryAction::Compare:
      outcome = history_.Compare(*id, *this);
      break;
    case HistoryAction::Forget:
      outcome = history_.Forget(*id);
      break;
  }
  if (action == HistoryAction::Label || action == HistoryAction::Forget) {
    Reload(id);
  }
  status_->setText(Utf8(HistoryStatus(rows_.size(), action, *id, outcome)));
}

bool HistoryWindow::AskLabel(std::string& site, std::string& note) {
  LabelDialog dialog(Utf8(site), Utf8(note), this);
  if (dialog.exec() != QDialog::Accepted) {
    return false;
  }
  site = dialog.Site().toUtf8().toStdString();
  note = dialog.Note().toUtf8().toStdString();
  return true;
}

bool HistoryWindow::ChooseFile(ChooserRequest& request, const ChooserCommand& command,
                               MessageBoxes& boxes) {
  return RunFileChooser(request, command, this, boxes);
}

void HistoryWindow::ShowComparison(const ComparisonTable& table) {
  ComparisonDialog dialog(table, this);
  dialog.exec();
}

void RunHistoryWindow(HistoryCommands& history, QWidget* owner) {
  HistoryWindow window(history, owner);
  window.exec();
}

}  // namespace klxr
