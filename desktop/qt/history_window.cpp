#include "desktop/qt/history_window.h"

#include <QComboBox>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>
#include <atomic>
#include <memory>

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

struct SyncButton {
  int id;
  const char* text;
  TeamSyncKind kind;
  const char* tip;
};

constexpr SyncButton kSyncButtons[] = {
    {history::kPush, "P&ush", TeamSyncKind::Push,
     "Sends every local survey the team archive lacks, and the sites and notes changed here"},
    {history::kPull, "Pu&ll", TeamSyncKind::Pull,
     "Keeps every team survey the local archive lacks, and the sites and notes changed there"},
};

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
  table->setAccessibleName(QStringLiteral("Surveys"));
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

// "Pushing to the team archive: 3 of 10 surveys".
void ShowProgress(QProgressDialog& progress, TeamSyncKind kind, int done, int total) {
  progress.setMaximum(std::max(total, 1));
  progress.setValue(std::min(done, std::max(total, 1)));
  progress.setLabelText(QStringLiteral("%1: %2 of %3 surveys")
                            .arg(kind == TeamSyncKind::Push
                                     ? QStringLiteral("Pushing to the team archive")
                                     : QStringLiteral("Pulling from the team archive"))
                            .arg(done)
                            .arg(total));
}

// Runs the push or pull on a thread of its own while the window goes on drawing, behind a
// progress dialog whose Cancel stops it before the next survey.
TeamSyncResult RunWithProgress(const TeamSyncJob& job, QWidget* owner) {
  QProgressDialog progress(owner);
  progress.setWindowTitle(job.kind == TeamSyncKind::Push ? QStringLiteral("Push")
                                                         : QStringLiteral("Pull"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setAutoReset(false);
  progress.setAutoClose(false);
  progress.setMinimumDuration(0);
  ShowProgress(progress, job.kind, 0, 0);
  const auto stop = std::make_shared<std::atomic<bool>>(false);
  QObject::connect(&progress, &QProgressDialog::canceled, [stop] { stop->store(true); });
  TeamSyncResult result;
  const std::unique_ptr<QThread> worker(QThread::create([&job, &result, &progress, stop] {
    result = RunTeamSync(job, [&job, &progress, stop](int done, int total) {
      QMetaObject::invokeMethod(
          &progress,
          [&job, &progress, done, total] { ShowProgress(progress, job.kind, done, total); },
          Qt::QueuedConnection);
      return !stop->load();
    });
  }));
  QEventLoop loop;
  QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
  worker->start();
  progress.show();
  loop.exec();
  worker->wait();
  return result;
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
  status_->setWordWrap(true);
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
  if (archive::TeamArchiveAvailable()) {
    buttons->addSpacing(8);
    for (const SyncButton& entry : kSyncButtons) {
      QPushButton* button = MakeButton(*this, entry.id, entry.text);
      button->setEnabled(history_.TeamNamed());
      button->setToolTip(Utf8(history_.TeamNamed() ? entry.tip : TeamArchiveHint()));
      connect(button, &QPushButton::clicked, this, [this, entry] { Sync(entry.kind); });
      syncs_.push_back(button);
      buttons->addWidget(button);
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
  for (QPushButton* button : syncs_) {
    setTabOrder(previous, button);
    previous = button;
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
  const std::optional<archive::SurveyId> selected = Selected();
  if (!SortByHeading(rows_, section, sortedBy_, ascending_)) {
    return;
  }
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
  SetStatus(HistoryStatus(rows_.size()));
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
  const std::optional<archive::SurveyId> id = Selected();
  const bool selected = id.has_value();
  for (QPushButton* button : actions_) {
    button->setEnabled(selected);
  }
  // The team's surveys are kept for good and labelled where they were read.
  if (selected && IsTeamOnly(*id)) {
    Button(history::kLabel).setEnabled(false);
    Button(history::kForget).setEnabled(false);
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
  SetStatus(HistoryStatus(rows_.size(), action, *id, outcome));
}

void HistoryWindow::Sync(TeamSyncKind kind) {
  const std::optional<TeamSyncJob> job = history_.SyncJob(kind);
  if (!job) {
    return;
  }
  const TeamSyncResult result = RunWithProgress(*job, this);
  Reload(Selected());
  SetStatus(HistoryStatus(rows_.size()) + "; " + TeamSyncText(kind, result));
}

void HistoryWindow::SetStatus(const std::string& text) {
  std::string note = history_.TeamNote();
  while (!note.empty() && (note.back() == '\n' || note.back() == ' ')) {
    note.pop_back();
  }
  status_->setText(Utf8(note.empty() ? text : text + "\n" + note));
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
