// Runs an automation script (automation_script.h) inside the running program: one step after
// another on the shell's short timer, so that the steps go on while commands show their boxes,
// choosers and progress. The runner decides what each step does and when a wait is over; the shell
// finds and works its windows through AutomationControls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/automation_message_boxes.h"
#include "desktop/automation_script.h"
#include "link/pause.h"

namespace klxr {

class Application;
class DesktopShell;

// What a step that works a window found.
enum class ControlReach {
  Done,           // done (or queued on the event loop)
  NotOpen,        // no window of the kind asked for is open: the step waits
  NoSuchControl,  // the window is open but has no such button: the script fails
};

// The shell's side of an automated run: its timer, its event loop and its windows.
class AutomationControls {
 public:
  virtual ~AutomationControls() = default;
  // Calls tick every few milliseconds from the event loop (and the loops of modal windows) until
  // StopTicking.
  virtual void StartTicking(std::function<void()> tick) = 0;
  virtual void StopTicking() = 0;
  // Runs the action from the event loop once the current tick is over.
  virtual void Later(std::function<void()> action) = 0;
  // Whether a modal window (file chooser, dialog or box) is open.
  virtual bool ModalOpen() const = 0;
  // Presses the open message box's button of the answer; "ok" falls back to the default button.
  virtual ControlReach PressBoxButton(ScriptedAnswer answer) = 0;
  // Types the path into the open file chooser's name field and presses OK.
  virtual ControlReach Choose(const std::string& path) = 0;
  // Closes the open modal window as Escape does.
  virtual ControlReach CancelModal() = 0;
  // Clicks the button or check box with the control id in the open dialog (not a message box).
  virtual ControlReach Click(int controlId) = 0;
  // Saves a PNG picture of the front window (the modal window, or the main window).
  virtual bool Screenshot(const std::string& path) = 0;
  // Paints every visible window now, so that the display shows them before the program freezes.
  virtual void PaintNow() = 0;
};

class ScriptRunner {
 public:
  // report: the run's report lines; failures go to failures (standard error). The clock and the
  // sleep measure the waits and the freeze.
  ScriptRunner(Application& app, AutomationMessageBoxes& boxes, AutomationControls& controls,
               std::vector<AutomationStep> steps, std::ostream& report, std::ostream& failures,
               ClockFunction clock = SteadyMicroseconds, SleepFunction sleep = SleepMilliseconds);

  // Starts running the steps from the first once the event loop runs.
  void Begin();
  // Runs the steps that can run now; the shell's timer calls it.
  void Tick();
  bool Finished() const { return next_ >= steps_.size(); }
  bool Failed() const { return failed_; }

 private:
  enum class Outcome { Done, Waiting };

  Outcome Perform(const AutomationStep& step);
  Outcome Await(const AutomationStep& step, bool reached);
  Outcome Reached(const AutomationStep& step, ControlReach reach, std::string_view missing);
  Outcome AnswerBox(const AutomationStep& step);
  void FreezeUntil(const AutomationStep& step);
  void RunCommandLater(int commandId);
  void Screenshot(const AutomationStep& step);
  bool Idle() const;
  std::int64_t ElapsedMs() const;
  std::int64_t TimeoutMs() const { return std::int64_t{timeoutSeconds_} * 1000; }
  void Fail(const AutomationStep& step, std::string_view why);

  Application& app_;
  AutomationMessageBoxes& boxes_;
  AutomationControls& controls_;
  std::vector<AutomationStep> steps_;
  std::ostream& report_;
  std::ostream& failures_;
  ClockFunction clock_;
  SleepFunction sleep_;
  std::size_t next_ = 0;
  bool inTick_ = false;
  bool failed_ = false;
  bool waiting_ = false;
  std::int64_t waitingSinceUs_ = 0;
  int timeoutSeconds_ = kDefaultWaitSeconds;
  int commandsRunning_ = 0;
};

// The program run by a script file: start-up, the script alongside the event loop, the end. The
// report lines go where AutomationReport sends them. Returns the exit code: the program's, or
// kAutomationScriptErrorExitCode when the script cannot be read or has errors, or the report
// file cannot be created (nothing is started then), or kAutomationFailedExitCode when a step
// failed. arguments: as Application::Start takes them. demoMeter: the driver is the virtual meter
// of --demo.
int RunAutomated(std::string_view commandLine, const std::string& scriptPath, DesktopShell& shell,
                 MessageBoxes& shownBoxes, AutomationControls& controls,
                 const std::vector<std::string>& arguments = {}, bool demoMeter = false);

}  // namespace klxr
