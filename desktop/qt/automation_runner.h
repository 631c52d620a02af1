// Runs an automation script (automation_script.h) inside the running program: one step after
// another on a short timer, so that the steps go on while commands show their boxes, choosers and
// progress.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/automation_message_boxes.h"
#include "desktop/automation_script.h"

namespace klxr {

class Application;

class AutomationRunner {
 public:
  // report: standard output in the program; failures go to failures (standard error).
  AutomationRunner(Application& app, AutomationMessageBoxes& boxes,
                   std::vector<AutomationStep> steps, std::ostream& report, std::ostream& failures);

  // Starts running the steps from the first once the event loop runs.
  void Begin();
  bool Finished() const { return next_ >= steps_.size(); }
  bool Failed() const { return failed_; }

 private:
  enum class Outcome { Done, Waiting };

  void Tick();
  Outcome Perform(const AutomationStep& step);
  Outcome Await(const AutomationStep& step, bool reached);
  Outcome AnswerBox(const AutomationStep& step);
  Outcome Choose(const AutomationStep& step);
  Outcome CancelModal(const AutomationStep& step);
  void FreezeUntil(const AutomationStep& step);
  Outcome Click(const AutomationStep& step);
  void RunCommandLater(int commandId);
  void Screenshot(const AutomationStep& step);
  bool Idle() const;
  void Fail(const AutomationStep& step, std::string_view why);

  Application& app_;
  AutomationMessageBoxes& boxes_;
  std::vector<AutomationStep> steps_;
  std::ostream& report_;
  std::ostream& failures_;
  QTimer timer_;
  std::size_t next_ = 0;
  bool inTick_ = false;
  bool failed_ = false;
  bool waiting_ = false;
  QElapsedTimer waitingSince_;
  int timeoutSeconds_ = kDefaultWaitSeconds;
  int commandsRunning_ = 0;
};

// The program run by a script file: start-up, the script alongside the event loop, the end.
// Returns the exit code: the program's, or kAutomationScriptErrorExitCode when the script cannot be
// read or has errors (nothing is started then), or kAutomationFailedExitCode when a step failed.
int RunAutomated(std::string_view commandLine, const QString& scriptPath);

}  // namespace klxr
