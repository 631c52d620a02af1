#include "desktop/qt/automation_runner.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QThread>
#include <iostream>
#include <utility>

#include "desktop/qt/application.h"
#include "desktop/qt/eight_bit_text.h"
#include "desktop/qt/file_chooser.h"
#include "desktop/qt/qt_message_boxes.h"
#include "desktop/qt/template_dialog.h"
#include "resources/command_ids.h"

namespace klxr {
namespace {

constexpr int kTickMs = 2;

QMessageBox::StandardButton ButtonFor(ScriptedAnswer answer) {
  switch (answer) {
    case ScriptedAnswer::Ok:
      return QMessageBox::Ok;
    case ScriptedAnswer::Yes:
      return QMessageBox::Yes;
    case ScriptedAnswer::No:
      return QMessageBox::No;
    case ScriptedAnswer::Cancel:
      return QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

}  // namespace

AutomationRunner::AutomationRunner(Application& app, AutomationMessageBoxes& boxes,
                                   std::vector<AutomationStep> steps, std::ostream& report,
                                   std::ostream& failures)
    : app_(app), boxes_(boxes), steps_(std::move(steps)), report_(report), failures_(failures) {
  QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
}

void AutomationRunner::Begin() {
  timer_.start(kTickMs);
}

void AutomationRunner::Tick() {
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
    timer_.stop();
  }
  inTick_ = false;
}

AutomationRunner::Outcome AutomationRunner::Perform(const AutomationStep& step) {
  switch (step.action) {
    case AutomationAction::Command:
      RunCommandLater(step.number);
      return Outcome::Done;
    case AutomationAction::Answer:
      return AnswerBox(step);
    case AutomationAction::Choose:
      return Choose(step);
    case AutomationAction::Cancel:
      return CancelModal(step);
    case AutomationAction::Click:
      return Click(step);
    case AutomationAction::WaitIdle:
      return Await(step, Idle());
    case AutomationAction::WaitModal:
      return Await(step, QApplication::activeModalWidget() != nullptr);
    case AutomationAction::WaitProgress:
      return Await(step, app_.State().Link.Download.ProgressShown >= step.number);
    case AutomationAction::WaitFile:
      return Await(step, QFileInfo::exists(PathToQString(step.text)));
    case AutomationAction::FreezeUntil:
      FreezeUntil(step);
      return Outcome::Done;
    case AutomationAction::Sleep:
      if (!waiting_) {
        waiting_ = true;
        waitingSince_.start();
      }
      return waitingSince_.elapsed() >= step.number ? Outcome::Done : Outcome::Waiting;
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

AutomationRunner::Outcome AutomationRunner::Await(const AutomationStep& step, bool reached) {
  if (reached) {
    return Outcome::Done;
  }
  if (!waiting_) {
    waiting_ = true;
    waitingSince_.start();
  } else if (waitingSince_.elapsed() > qint64{timeoutSeconds_} * 1000) {
    Fail(step, "still waiting after " + std::to_string(timeoutSeconds_) + " s");
  }
  return Outcome::Waiting;
}

AutomationRunner::Outcome AutomationRunner::AnswerBox(const AutomationStep& step) {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (box == nullptr || !boxes_.ShowingBox()) {
    boxes_.QueueAnswer(step.answer);
    return Outcome::Done;
  }
  QAbstractButton* button = box->button(ButtonFor(step.answer));
  if (step.answer == ScriptedAnswer::Ok && button == nullptr) {
    button = box->defaultButton();
  }
  if (button == nullptr) {
    Fail(step, "the open box has no such button");
    return Outcome::Done;
  }
  QTimer::singleShot(0, button, [button] { button->click(); });
  return Outcome::Done;
}

AutomationRunner::Outcome AutomationRunner::Choose(const AutomationStep& step) {
  auto* chooser = qobject_cast<FileChooser*>(QApplication::activeModalWidget());
  if (chooser == nullptr) {
    return Await(step, false);
  }
  chooser->NameField().setText(PathToQString(step.text));
  QTimer::singleShot(0, chooser, [chooser] { chooser->OnOk(); });
  return Outcome::Done;
}

AutomationRunner::Outcome AutomationRunner::CancelModal(const AutomationStep& step) {
  auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
  if (dialog == nullptr) {
    return Await(step, false);
  }
  QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
  return Outcome::Done;
}

AutomationRunner::Outcome AutomationRunner::Click(const AutomationStep& step) {
  auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
  if (dialog == nullptr || qobject_cast<QMessageBox*>(dialog) != nullptr) {
    return Await(step, false);
  }
  auto* button = FindControl<QAbstractButton>(*dialog, step.number);
  if (button == nullptr) {
    Fail(step, "the open dialog has no button with that id");
    return Outcome::Done;
  }
  // Later, so that a dialog the click opens runs its own loop outside this step.
  QTimer::singleShot(0, button, [button] { button->click(); });
  return Outcome::Done;
}

void AutomationRunner::FreezeUntil(const AutomationStep& step) {
  // What the windows show now reaches the display before the program stops.
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible()) {
      window->repaint();
    }
  }
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  report_ << "frozen " << step.text << std::endl;
  const QString path = PathToQString(step.text);
  QElapsedTimer clock;
  clock.start();
  while (!QFileInfo::exists(path)) {
    if (clock.elapsed() > qint64{timeoutSeconds_} * 1000) {
      Fail(step, "still frozen after " + std::to_string(timeoutSeconds_) + " s");
      return;
    }
    QThread::msleep(10);
  }
}

void AutomationRunner::RunCommandLater(int commandId) {
  ++commandsRunning_;
  QTimer::singleShot(0, &timer_, [this, commandId] {
    app_.Command(commandId);
    --commandsRunning_;
  });
}

void AutomationRunner::Screenshot(const AutomationStep& step) {
  QWidget* front = QApplication::activeModalWidget();
  if (front == nullptr) {
    front = app_.Window();
  }
  if (front == nullptr || !front->grab().save(PathToQString(step.text), "PNG")) {
    Fail(step, "cannot save the picture");
    return;
  }
  report_ << "screenshot " << step.text << std::endl;
}

bool AutomationRunner::Idle() const {
  return commandsRunning_ == 0 && !app_.State().Link.Download.DownloadRunning &&
         QApplication::activeModalWidget() == nullptr;
}

void AutomationRunner::Fail(const AutomationStep& step, std::string_view why) {
  failed_ = true;
  failures_ << "automation: line " << step.line << ": " << why << std::endl;
  QCoreApplication::exit(kAutomationFailedExitCode);
}

int RunAutomated(std::string_view commandLine, const QString& scriptPath) {
  QFile file(scriptPath);
  if (!file.open(QIODevice::ReadOnly)) {
    std::cerr << "automation: cannot read " << scriptPath.toStdString() << std::endl;
    return kAutomationScriptErrorExitCode;
  }
  const QByteArray text = file.readAll();
  AutomationScript script = ParseAutomationScript(std::string_view(text.data(), text.size()));
  if (!script.errors.empty()) {
    for (const std::string& error : script.errors) {
      std::cerr << "automation: " << error << std::endl;
    }
    return kAutomationScriptErrorExitCode;
  }
  QtMessageBoxes shownBoxes;
  AutomationMessageBoxes boxes(shownBoxes, std::cout);
  Application app(boxes);
  // The script starts with the program, so that it can answer the boxes of the start-up too.
  AutomationRunner runner(app, boxes, std::move(script.steps), std::cout, std::cerr);
  runner.Begin();
  if (!app.Start(commandLine)) {
    return 0;
  }
  return app.Run();
}

}  // namespace klxr
