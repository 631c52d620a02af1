// The Qt shell of the desktop program: the main window, the modal dialogs over it and the event
// loop, as the core asks for them (desktop_shell.h). While the loop runs, SIGTERM and SIGINT
// close the main window.
#pragma once

#include <QPointer>
#include <memory>
#include <string_view>

#include "desktop/desktop_shell.h"
#include "desktop/qt/main_window.h"

namespace klxr {

class QtShell : public DesktopShell {
 public:
  std::unique_ptr<DesktopWindow> CreateMainWindow(std::string_view caption,
                                                  MainWindowCallbacks callbacks) override;
  int RunEventLoop() override;
  void QuitEventLoop(int exitCode) override;

  bool RunFileChooser(ChooserRequest& request, const ChooserCommand& command,
                      MessageBoxes& boxes) override;
  void RunLogViewer(const LogViewerContext& context) override;
  void RunAboutBox() override;
  std::optional<ListedMeter> RunDeviceList(const MeterLink& link) override;
  void RunReport(const LogViewerContext& context) override;
  void RunHistoryWindow(HistoryCommands& history) override;

  // The main window last created; null before that and once it is gone.
  MainWindow* Window() const { return window_.data(); }

 private:
  QPointer<MainWindow> window_;
};

}  // namespace klxr
