// The Qt side of an automated run (desktop/script_runner.h): the short QTimer that steps the
// script, and finding and working the Qt windows the steps name: message boxes, the file chooser,
// dialog buttons, screenshots.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/automation_message_boxes.h"
#include "desktop/automation_script.h"
#include "desktop/script_runner.h"

class QWidget;

namespace klxr {

class Application;

class QtAutomationControls : public AutomationControls {
 public:
  // mainWindow: the program's main window, the front window when no modal window is open.
  explicit QtAutomationControls(std::function<QWidget*()> mainWindow);

  void StartTicking(std::function<void()> tick) override;
  void StopTicking() override;
  void Later(std::function<void()> action) override;
  bool ModalOpen() const override;
  ControlReach PressBoxButton(ScriptedAnswer answer) override;
  ControlReach Choose(const std::string& path) override;
  ControlReach CancelModal() override;
  ControlReach Click(int controlId) override;
  bool Screenshot(const std::string& path) override;
  void PaintNow() override;

 private:
  std::function<QWidget*()> mainWindow_;
  QTimer timer_;
  QMetaObject::Connection tick_;
};

// A script runner on the Qt controls of a running application.
class AutomationRunner {
 public:
  // report: standard output in the program; failures go to failures (standard error).
  AutomationRunner(Application& app, AutomationMessageBoxes& boxes,
                   std::vector<AutomationStep> steps, std::ostream& report, std::ostream& failures);

  // Starts running the steps from the first once the event loop runs.
  void Begin() { runner_.Begin(); }
  bool Finished() const { return runner_.Finished(); }
  bool Failed() const { return runner_.Failed(); }

 private:
  QtAutomationControls controls_;
  ScriptRunner runner_;
};

// The program run by a script file on the Qt shell (see the core's RunAutomated).
int RunAutomated(std::string_view commandLine, const QString& scriptPath,
                 const std::vector<std::string>& arguments, bool demoMeter = false);

}  // namespace klxr
