#include "desktop/script_runner.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <system_error>
#include <utility>

#include "desktop/application.h"
#include "desktop/automation_report.h"
#include "resources/command_ids.h"

namespace klxr {
namespace {

constexpr std::uint32_t kFreezePollMs = 10;

bool FileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::path(path), error);
}

}  // namespace

ScriptRunner::ScriptRunner(Application& app, AutomationMessageBoxes& boxes,
                           AutomationControls& controls, std::vector<AutomationStep> steps,
                           std::ostream& report, std::ostream& failures, ClockFunction clock,
                           SleepFunction sleep)
    : app_(app),
      boxes_(boxes),
      controls_(controls),
      steps_(std::move(steps)),
      report_(report),
      failures_(failures),
      clock_(std::move(clock)),
      sleep_(std::move(sleep)) {}

void ScriptRunner::Begin() {
  controls_.StartTicking([this] { Tick(); });
}

void ScriptRunner::Tick() {
  if (inTick_ || failed_) {
    return;
  }
  inTick_ = true;
  while (!Finished() && !failed_) {
    if (Perform(steps_[next_]) == Outcome::Waiting) {
      break;
    }
    waiting_ = false;
    ++next_;
  }
  if (Finished() || failed_) {
    controls_.StopTicking();
  }
  inTick_ = false;
}

ScriptRunner::Outcome ScriptRunner::Perform(const AutomationStep& step) {
  switch (step.action) {
    case AutomationAction::Command:
      RunCommandLater(step.number);
      return Outcome::Done;
    case AutomationAction::Answer:
      return AnswerBox(step);
    case AutomationAction::Choose:
      return Reached(step, controls_.Choose(step.text), {});
    case AutomationAction::Cancel:
      return Reached(step, controls_.CancelModal(), {});
    case AutomationAction::Click:
      return Reached(step, controls_.Click(step.number),
                     "the open dialog has no button with that id");
    case AutomationAction::WaitIdle:
      return Await(step, Idle());
    case AutomationAction::WaitModal:
      return Await(step, controls_.ModalOpen());
    case AutomationAction::WaitProgress:
      return Await(step, app_.State().Link.Download.ProgressShown >= step.number);
    case AutomationAction::WaitFile:
      return Await(step, FileExists(step.text));
    case AutomationAction::FreezeUntil:
      FreezeUntil(step);
      return Outcome::Done;
    case AutomationAction::Sleep:
      if (!waiting_) {
        waiting_ = true;
        waitingSinceUs_ = clock_();
      }
      return ElapsedMs() >= step.number ? Outcome::Done : Outcome::Waiting;
    case AutomationAction::Timeout:
      timeoutSeconds_ = step.number;
      return Outcome::Done;
    case AutomationAction::Print:
      report_ << step.text << std::endl;
      return Outcome::Done;
    case AutomationAction::Screenshot:
      Screenshot(step);
      return Outcome::Done;
    case AutomationAction::Quit:
      RunCommandLater(cmd::kExit);
      return Outcome::Done;
  }
  return Outcome::Done;
}

ScriptRunner::Outcome ScriptRunner::Await(const AutomationStep& step, bool reached) {
  if (reached) {
    return Outcome::Done;
  }
  if (!waiting_) {
    waiting_ = true;
    waitingSinceUs_ = clock_();
  } else if (ElapsedMs() > TimeoutMs()) {
    Fail(step, "still waiting after " + std::to_string(timeoutSeconds_) + " s");
  }
  return Outcome::Waiting;
}

ScriptRunner::Outcome ScriptRunner::Reached(const AutomationStep& step, ControlReach reach,
                                            std::string_view missing) {
  switch (reach) {
    case ControlReach::Done:
      return Outcome::Done;
    case ControlReach::NotOpen:
      return Await(step, false);
    case ControlReach::NoSuchControl:
      Fail(step, missing);
      return Outcome::Done;
  }
  return Outcome::Done;
}

ScriptRunner::Outcome ScriptRunner::AnswerBox(const AutomationStep& step) {
  // A box that is not open yet takes the answer when it comes.
  const ControlReach reach =
      boxes_.ShowingBox() ? controls_.PressBoxButton(step.answer) : ControlReach::NotOpen;
  if (reach == ControlReach::NotOpen) {
    boxes_.QueueAnswer(step.answer);
    return Outcome::Done;
  }
  if (reach == ControlReach::NoSuchControl) {
    Fail(step, "the open box has no such button");
  }
  return Outcome::Done;
}

void ScriptRunner::FreezeUntil(const AutomationStep& step) {
  // What the windows show now reaches the display before the program stops.
  controls_.PaintNow();
  report_ << "frozen " << step.text << std::endl;
  const std::int64_t since = clock_();
  while (!FileExists(step.text)) {
    if ((clock_() - since) / 1000 > TimeoutMs()) {
      Fail(step, "still frozen after " + std::to_string(timeoutSeconds_) + " s");
      return;
    }
    sleep_(kFreezePollMs);
  }
}

void ScriptRunner::RunCommandLater(int commandId) {
  ++commandsRunning_;
  controls_.Later([this, commandId] {
    app_.Command(commandId);
    --commandsRunning_;
  });
}

void ScriptRunner::Screenshot(const AutomationStep& step) {
  if (!controls_.Screenshot(step.text)) {
    Fail(step, "cannot save the picture");
    return;
  }
  report_ << "screenshot " << step.text << std::endl;
}

bool ScriptRunner::Idle() const {
  return commandsRunning_ == 0 && !app_.State().Link.Download.DownloadRunning &&
         !controls_.ModalOpen();
}

std::int64_t ScriptRunner::ElapsedMs() const {
  return (clock_() - waitingSinceUs_) / 1000;
}

void ScriptRunner::Fail(const AutomationStep& step, std::string_view why) {
  failed_ = true;
  failures_ << "automation: line " << step.line << ": " << why << std::endl;
  app_.Shell().QuitEventLoop(kAutomationFailedExitCode);
}

int RunAutomated(std::string_view commandLine, const std::string& scriptPath, DesktopShell& shell,
                 MessageBoxes& shownBoxes, AutomationControls& controls,
                 const std::vector<std::string>& arguments, bool demoMeter) {
  std::ifstream file(std::filesystem::path(scriptPath), std::ios::binary);
  if (!file) {
    std::cerr << "automation: cannot read " << scriptPath << std::endl;
    return kAutomationScriptErrorExitCode;
  }
  const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  AutomationScript script = ParseAutomationScript(text);
  if (!script.errors.empty()) {
    for (const std::string& error : script.errors) {
      std::cerr << "automation: " << error << std::endl;
    }
    return kAutomationScriptErrorExitCode;
  }
  AutomationReport report(ReportFileFromEnvironment());
  if (!report.Problem().empty()) {
    std::cerr << "automation: " << report.Problem() << std::endl;
    return kAutomationScriptErrorExitCode;
  }
  AutomationMessageBoxes boxes(shownBoxes, report.Stream());
  StartUpServices services = ProgramServices();
  services.demoMeter = demoMeter;
  Application app(shell, boxes, std::move(services));
  // The script starts with the program, so that it can answer the boxes of the start-up too.
  ScriptRunner runner(app, boxes, controls, std::move(script.steps), report.Stream(), std::cerr);
  runner.Begin();
  if (!app.Start(commandLine, arguments)) {
    return 0;
  }
  return app.Run();
}

}  // namespace klxr
