// The application object: owns the process-wide state and the main window, runs the start-up
// steps and the event loop, and is what the main window's commands, timer ticks and closing reach.
// It draws nothing itself: the window, the dialogs and the loop are the shell's (desktop_shell.h).
//
// Start-up, in order: clear the log image; quiet mode off, the first caption; scan the command line
// for "+Q"; load the caption (string 167); create and show MainWindow (with its menu and
// accelerators); load the driver library, or tell the user "Warning, can't load USB driver
// (ftd2xx.dll)", with the files tried and what to do as the box's detail, and end; create the
// shared ComAccess, or tell the user "Error: Not enough memory to create ComAccess object!" and
// end, so that no command can reach a missing port. Then the event loop runs until the window is
// closed (E&xit, the close box, or SIGTERM or SIGINT, which the shell turns into a close); closing
// stops a Read in progress as the user's stop does ("END", the port closed, the records read so far
// kept in the survey archive) and ends the loop; the shared ComAccess is closed and destroyed after
// it. The exit code is 0. While a Read runs, E&xit, the close box and Escape first ask whether to
// stop it (CloseRequested, StopRequested).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/app_state.h"
#include "desktop/command_outcome.h"
#include "desktop/desktop_shell.h"
#include "desktop/noting_message_boxes.h"
#include "desktop/read_archive.h"
#include "link/com_access.h"
#include "link/pause.h"
#include "resources/message_catalogue.h"

namespace klxr {

// What start-up uses from outside: the program's defaults load the driver library, allocate the
// port and really sleep; tests hand over a driver table, may make the port fail, and sleep on a
// virtual clock.
struct StartUpServices {
  // The driver, or null when none can be loaded; problem then says which files were tried, why
  // they failed, and what to do.
  std::function<std::unique_ptr<LoadedDriver>(std::string& problem)> loadDriver;
  // The shared port on the driver's functions, or null when it cannot be created.
  std::function<std::unique_ptr<ComAccess>(const d2xx::D2xxFunctions&)> makeComAccess;
  SleepFunction sleep = SleepMilliseconds;
  // The user's setting of that name (the settings store's value), read once at start; none when
  // there is none. The program's own reads its store; tests leave it unset.
  std::function<std::optional<std::string>(std::string_view name)> readSetting;
  // The survey archive Reads are kept in, given the ArchiveSurveys setting; empty: not kept. The
  // program's own gives the user's archive unless the setting is "0"; tests leave it unset.
  std::function<std::string(const std::optional<std::string>& setting)> archiveFile;
  // The driver is the virtual meter of --demo: the title says "demo meter".
  bool demoMeter = false;
};

// The question asked when the user closes the window or presses Escape while a Read runs.
inline constexpr char kStopReadQuestion[] = "Stop reading the meter log?";

// The program's own: the library named by KLXR_D2XX_LIBRARY or the vendor's, a port allocated
// without throwing, the real sleep.
StartUpServices ProgramServices();

class Application {
 public:
  // Shell: what shows the program; boxes: where every message of the program goes.
  Application(DesktopShell& shell, MessageBoxes& boxes,
              StartUpServices services = ProgramServices());
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Runs the start-up steps. True when the program goes on to its event loop; false when it ended
  // during start-up (no driver library, or no memory for the shared port), with exit code 0.
  // arguments: the command line's arguments one by one; a log file named among them
  // (LogFileArgument) is loaded as "&Load" loads it, once the window is shown and the driver
  // loaded.
  bool Start(std::string_view commandLine, const std::vector<std::string>& arguments = {});

  // Runs the event loop until the main window is closed, then destroys the shared ComAccess.
  // Returns the exit code.
  int Run();

  // A command from the menu or an accelerator, and what it came to. Ids that are not in the
  // command table do nothing (NothingToDo).
  CommandOutcome Command(int commandId);
  // A tick of a main window timer: only the download timer, and only while a download runs, steps
  // the download. A Read that ends in it is kept in the survey archive (State().LastSurvey).
  void TimerTick(int timerId);
  // The main window was closed: ends a running download as StopRead does and ends the event loop.
  void WindowDestroyed();
  // The user asks to close the main window (E&xit or the close box). While a Read runs, asks
  // kStopReadQuestion (No by default): No lets the Read go on and keeps the window (false); Yes
  // stops the Read (StopRead). True when the window may close.
  bool CloseRequested();
  // The user asks to stop what runs (Escape in the main window): while a Read runs, asks as
  // CloseRequested does and stops the Read on Yes; the program goes on. Otherwise nothing.
  void StopRequested();

  // Shows in the main window's title the survey that holds the log image (State().LastSurvey)
  // and the meter in use, when the title does not show them yet.
  void RefreshTitle();
  // The survey archive the program keeps its Reads in; empty when it keeps none.
  const std::string& ArchiveFile() const { return archiver_.File(); }
  // The user's setting of that name; none when there is none or no store is read.
  std::optional<std::string> Setting(std::string_view name) const {
    return services_.readSetting ? services_.readSetting(name) : std::nullopt;
  }

  AppState& State() { return state_; }
  // The program's boxes, with a note of the last one shown (for the outcomes).
  NotingMessageBoxes& Boxes() { return boxes_; }
  DesktopShell& Shell() { return shell_; }
  // The main window; null before start-up created it.
  DesktopWindow* Window() { return window_.get(); }
  // Whether the main window has been closed.
  bool Closed() const { return closed_; }

 private:
  ProgressView Progress() const;
  void CreateMainWindow();
  bool LoadDriver(std::string& problem);
  bool CreateSharedComAccess();
  void DestroySharedComAccess();
  void ArchiveEndedRead();
  // Whether no Read runs any more: none ran, the user chose to stop it (it is then stopped), or it
  // ended while the question was open.
  bool ConfirmStopRead();
  // Stops the running Read as the program's end does ("END" sent, the port closed), keeps the
  // records read so far in the image and in the survey archive as an incomplete survey.
  void StopRead();

  DesktopShell& shell_;
  NotingMessageBoxes boxes_;
  StartUpServices services_;
  AppState state_;
  std::unique_ptr<DesktopWindow> window_;
  ReadArchiver archiver_;
  std::string title_;  // the main window's title as last shown
  bool closed_ = false;
  bool inEventLoop_ = false;
};

}  // namespace klxr
