#include "desktop/qt/qt_shell.h"

#include <QApplication>
#include <utility>

#include "desktop/qt/about_box.h"
#include "desktop/qt/device_list_dialog.h"
#include "desktop/qt/history_window.h"
#include "desktop/qt/log_viewer.h"
#include "desktop/qt/report_command.h"
#include "desktop/qt/run_file_chooser.h"
#include "desktop/qt/termination_signals.h"
#include "log/record_format.h"

namespace klxr {

std::unique_ptr<DesktopWindow> QtShell::CreateMainWindow(std::string_view caption,
                                                         MainWindowCallbacks callbacks) {
  auto window = std::make_unique<MainWindow>(caption, std::move(callbacks));
  window->AddProgramMenuItems();
  window->show();
  window_ = window.get();
  return window;
}

int QtShell::RunEventLoop() {
  const TerminationSignals termination([this] {
    // A window already closed is not closed again; a signal ends a Read without asking.
    if (window_ != nullptr && window_->isVisible()) {
      window_->CloseWithoutAsking();
    }
  });
  return QApplication::exec();
}

void QtShell::QuitEventLoop(int exitCode) {
  QCoreApplication::exit(exitCode);
}

bool QtShell::RunFileChooser(ChooserRequest& request, const ChooserCommand& command,
                             MessageBoxes& boxes) {
  return klxr::RunFileChooser(request, command, window_.data(), boxes);
}

void QtShell::RunLogViewer(const LogViewerContext& context) {
  klxr::RunLogViewer(context, window_.data());
}

void QtShell::RunAboutBox() {
  klxr::RunAboutBox(window_.data());
}

std::optional<ListedMeter> QtShell::RunDeviceList(const MeterLink& link) {
  std::optional<ListedMeter> picked;
  RunDeviceListDialog(link, window_.data(), &picked);
  return picked;
}

void QtShell::RunReport(const LogViewerContext& context) {
  SaveLogReport(context, kUnitsDbm, window_.data());
}

void QtShell::RunHistoryWindow(HistoryCommands& history) {
  klxr::RunHistoryWindow(history, window_.data());
}

}  // namespace klxr
