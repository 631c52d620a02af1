// What the core of the desktop program asks of the shell that draws it: the main window, the modal
// dialogs and the event loop. Each shell (Qt on Linux, Win32 on Windows) implements these; tests
// implement them with recording fakes. Message boxes go through MessageBoxes as everywhere else.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "desktop/app_state.h"
#include "desktop/chooser_command.h"
#include "desktop/chooser_request.h"
#include "link/download_window.h"
#include "link/meter_discovery.h"
#include "link/meter_link.h"
#include "log/log_image.h"
#include "resources/message_catalogue.h"

namespace klxr {

// What the progress bar shows, read from the download state at each paint.
struct ProgressView {
  bool running = false;  // DownloadRunning
  int shown = 0;         // ProgressShown
  int total = 0;         // ProgressTotal
};

// What the main window tells its owner.
struct MainWindowCallbacks {
  std::function<void(int)> command;        // a menu command or an accelerator, by its id
  std::function<void(int)> timerTick;      // a tick of a timer started by StartTimer, by its id
  std::function<void()> destroyed;         // the window was closed (E&xit or the close box)
  std::function<ProgressView()> progress;  // what the bar shows
  // The user asks to close the window with its close box; false keeps it open. A close the
  // system or a signal forces does not ask.
  std::function<bool()> closing;
  // The user pressed Escape in the main window.
  std::function<void()> stop;
};

// The main window as the core sees it: what the meter conversations do to it, and closing it.
class DesktopWindow : public DownloadWindow {
 public:
  // Closes the window as its close box does; the destroyed callback follows.
  virtual void Close() = 0;
  // Shows the title (8-bit text) in the window's title bar.
  virtual void ShowTitle(std::string_view title) = 0;
};

class HistoryCommands;

// What the log viewer works with, all owned by the caller.
struct LogViewerContext {
  const LogImage& image;
  ChooserRequest& chooser;  // the file chooser's request, filled afresh by the export
  MessageBoxes& boxes;      // reports of the chooser, the CSV export and the remembered folder
  bool quietMode;           // the export does not report a file it cannot create
  LogOrigin origin{};       // the date of the log in the report's header
};

// The modal dialogs, each shown over the main window until the user ends it.
class DesktopDialogs {
 public:
  virtual ~DesktopDialogs() = default;
  // The chooser of a command: the folder remembered for it read into the request, the chooser
  // shown, the folder it showed last remembered (also after a cancel). True when a file was
  // chosen; its full path is then in request.ChosenPath. Its questions and errors go to boxes.
  virtual bool RunFileChooser(ChooserRequest& request, const ChooserCommand& command,
                              MessageBoxes& boxes) = 0;
  // "Log Entries", the log viewer (template 208).
  virtual void RunLogViewer(const LogViewerContext& context) = 0;
  // The About box (template 110).
  virtual void RunAboutBox() = 0;
  // "USB Devices" (template 158): discovery on the link runs before it is shown. Returns the meter
  // the user picked for Read and Erase (a line chosen with OK, Enter or a double-click); none when
  // the dialog ended otherwise or no line was selected.
  virtual std::optional<ListedMeter> RunDeviceList(const MeterLink& link) = 0;
  // The PDF report of the log in dBm: the chooser for a .pdf file, then the report written there.
  // The caller has made sure that the log holds records.
  virtual void RunReport(const LogViewerContext& context) = 0;
  // "History": the surveys of the archive with their actions, until the user closes it.
  virtual void RunHistoryWindow(HistoryCommands& history) = 0;
};

// The shell: the dialogs, the main window and the event loop.
class DesktopShell : public DesktopDialogs {
 public:
  // Creates and shows the main window; its commands, ticks, closing and bar go to callbacks. The
  // dialogs are shown over the window last created.
  virtual std::unique_ptr<DesktopWindow> CreateMainWindow(std::string_view caption,
                                                          MainWindowCallbacks callbacks) = 0;
  // Runs the event loop until QuitEventLoop ends it; returns the exit code given there. While it
  // runs, SIGTERM and SIGINT (where the system has them) close the main window.
  virtual int RunEventLoop() = 0;
  virtual void QuitEventLoop(int exitCode) = 0;
};

}  // namespace klxr
