#include "desktop/qt/log_viewer.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QStringList>

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
      saveReport_(listMenu_->addAction(QStringLiteral("Save report (.pdf)..."))) {
  MakeTabbedList(*list_, BaseUnits());
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QWidget::customContextMenuRequested, this, &LogViewer::OnListMenuRequested);
  connect(saveReport_, &QAction::triggered, this, &LogViewer::OnSaveReport);
  showDbuv_->setChecked(false);
  FillLogList(kUnitsDbm);
}

void LogViewer::FillLogList(std::uint8_t units) {
  list_->clear();
  QStringList lines;
  for (const std::string& line : LogViewerLines(context_.image, units)) {
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
