// The Win32 shell of the desktop program: the main window, the modal dialogs over it and the
// message loop, as the core asks for them (desktop/desktop_shell.h). The dialogs are built from the
// program's resources; the remembered folders are kept in the registry.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "desktop/desktop_shell.h"
#include "desktop/win32/log_viewer_report.h"

namespace klxr::win32 {

class Win32Shell : public DesktopShell {
 public:
  // instance: the module that holds the resources (menu, accelerators, dialogs, icon).
  explicit Win32Shell(HINSTANCE instance) : instance_(instance) {}

  // The window class is named by the caption, as the window's title is.
  std::unique_ptr<DesktopWindow> CreateMainWindow(std::string_view caption,
                                                  MainWindowCallbacks callbacks) override;
  // Gets and dispatches messages, accelerators (table 214, then the shortcuts' table 215) of the
  // main window first, until QuitEventLoop; returns its exit code.
  int RunEventLoop() override;
  void QuitEventLoop(int exitCode) override;

  bool RunFileChooser(ChooserRequest& request, const ChooserCommand& command,
                      MessageBoxes& boxes) override;
  void RunLogViewer(const LogViewerContext& context) override;
  void RunAboutBox() override;
  std::optional<ListedMeter> RunDeviceList(const MeterLink& link) override;
  // The PDF report of the log in dBm, to the .pdf file chosen in the program's chooser.
  void RunReport(const LogViewerContext& context) override;
  // Built in code (history_window.h), over the main window.
  void RunHistoryWindow(HistoryCommands& history) override;

  // The main window last created, while it exists; else null.
  HWND Window() const;
  HINSTANCE Instance() const { return instance_; }

 private:
  // Translates a key message of the main window through the tables in turn; true when one of
  // them turned it into a command.
  bool TranslateMainAccelerators(std::span<const HACCEL> tables, MSG& message) const;
  // The program's file chooser, as the report asks for its file.
  ReportChooser ChooserForReport();

  HINSTANCE instance_;
  HWND window_ = nullptr;
};

}  // namespace klxr::win32
