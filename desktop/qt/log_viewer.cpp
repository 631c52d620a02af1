#include "desktop/qt/log_viewer.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QStringList>

#include "desktop/log_viewer_layout.h"
#include "desktop/qt/eight_bit_text.h"
#include "desktop/qt/log_viewer_list.h"
#include "desktop/qt/report_command.h"
#include "desktop/qt/run_file_chooser.h"
#include "log/log_files.h"
#include "log/record_format.h"

namespace klxr {
namespace {

// The labels above the three power columns, which name the unit of their levels.
constexpr int kUnitLabels[] = {ctl::kViewerVideoUnit, ctl::kViewerAudioUnit,
                               ctl::kViewerDigitalUnit};

}  // namespace

LogViewer::LogViewer(const LogViewerContext& context, QWidget* owner)
    : TemplateDialog(LogViewerTemplate(), owner),
      context_(context),
      list_(FindControl<QListWidget>(*this, ctl::kViewerList)),
      showDbuv_(FindControl<QCheckBox>(*this, ctl::kViewerShowDbuv)),
      listMenu_(new QMenu(this)),
      copy_(listMenu_->addAction(QStringLiteral("Copy"))),
      saveReport_(listMenu_->addAction(QStringLiteral("Report (.pdf)..."))) {
  MakeTabbedList(*list_, BaseUnits());
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->installEventFilter(this);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QWidget::customContextMenuRequested, this, &LogViewer::OnListMenuRequested);
  // The shortcut is shown in the menu and works while it is open; elsewhere in the viewer the key
  // arrives through keyPressEvent and the list's filter.
  copy_->setShortcut(QKeySequence::Copy);
  connect(copy_, &QAction::triggered, this, &LogViewer::OnCopy);
  connect(saveReport_, &QAction::triggered, this, &LogViewer::OnSaveReport);
  showDbuv_->setChecked(false);
  FillLogList(kUnitsDbm);
  MakeResizable();
}

void LogViewer::MakeResizable() {
  templateClient_ = size();
  for (QWidget* control : Controls()) {
    templatePlaces_.push_back(control->geometry());
  }
  setWindowFlags((windowFlags() & ~Qt::MSWindowsFixedSizeDialogHint) |
                 Qt::WindowMaximizeButtonHint);
  setMinimumSize(templateClient_);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void LogViewer::resizeEvent(QResizeEvent* event) {
  TemplateDialog::resizeEvent(event);
  const ClientSize atTemplate{templateClient_.width(), templateClient_.height()};
  const ClientSize client{width(), height()};
  for (std::size_t i = 0; i < templatePlaces_.size(); ++i) {
    const QRect& from = templatePlaces_[i];
    const ControlPlace place =
        PlaceViewerControl(Controls()[i]->property(kControlIdProperty).toInt(),
                           {from.x(), from.y(), from.width(), from.height()}, atTemplate, client);
    Controls()[i]->setGeometry(place.x, place.y, place.width, place.height);
  }
}

void LogViewer::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    OnCopy();
    event->accept();
    return;
  }
  TemplateDialog::keyPressEvent(event);
}

bool LogViewer::eventFilter(QObject* watched, QEvent* event) {
  // The list would copy only its current line.
  if (watched == list_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
    OnCopy();
    return true;
  }
  return TemplateDialog::eventFilter(watched, event);
}

void LogViewer::OnCopy() {
  std::vector<int> rows;
  for (const QModelIndex& index : list_->selectionModel()->selectedIndexes()) {
    rows.push_back(index.row());
  }
  const std::string text = CopiedLines(lines_, rows, "\n");
  if (!text.empty()) {  // nothing selected leaves the clipboard as it was
    QGuiApplication::clipboard()->setText(TextToQString(text));
  }
}

void LogViewer::FillLogList(std::uint8_t units) {
  list_->clear();
  lines_ = LogViewerLines(context_.image, units);
  QStringList lines;
  for (const std::string& line : lines_) {
    lines.push_back(TextToQString(line));
  }
  list_->addItems(lines);
  list_->scrollToTop();
}

void LogViewer::OnCommand(int controlId) {
  switch (controlId) {
    case ctl::kViewerShowDbuv:
      OnShowDbuvClicked();
      break;
    case ctl::kViewerExport:
      OnExport();
      break;
    default:
      TemplateDialog::OnCommand(controlId);
      break;
  }
}

void LogViewer::OnShowDbuvClicked() {
  const bool dbuv = showDbuv_->isChecked();
  for (int id : kUnitLabels) {
    FindControl<QLabel>(*this, id)->setText(dbuv ? QStringLiteral("dBuV") : QStringLiteral("dBm"));
  }
  FillLogList(dbuv ? kUnitsDbuv : kUnitsDbm);
  update();
}

void LogViewer::OnExport() {
  if (!RunFileChooser(context_.chooser, kExportCsvChooser, this, context_.boxes)) {
    return;
  }
  // The CSV file carries both units, whatever the list shows.
  const int count = CountRecords(context_.image, nullptr);
  if (count > 0) {
    ExportCsv(context_.image, context_.chooser.ChosenPath, count, context_.boxes,
              context_.quietMode);
  }
}

void LogViewer::OnListMenuRequested(const QPoint& position) {
  // Right click and menu key alike give a point of the list's viewport: the click, or the current
  // row for the key.
  listMenu_->popup(list_->viewport()->mapToGlobal(position));
}

void LogViewer::OnSaveReport() {
  SaveLogReport(context_, showDbuv_->isChecked() ? kUnitsDbuv : kUnitsDbm, this);
}

int RunLogViewer(const LogViewerContext& context, QWidget* owner) {
  LogViewer viewer(context, owner);
  return viewer.exec();
}

}  // namespace klxr
