#include "desktop/qt/automation_runner.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <utility>

#include "desktop/application.h"
#include "desktop/qt/eight_bit_text.h"
#include "desktop/qt/file_chooser.h"
#include "desktop/qt/qt_message_boxes.h"
#include "desktop/qt/qt_shell.h"
#include "desktop/qt/template_dialog.h"

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

// Clicks the button from the event loop, so that a window the click opens runs its own loop
// outside the step.
void ClickLater(QAbstractButton* button) {
  QTimer::singleShot(0, button, [button] { button->click(); });
}

}  // namespace

QtAutomationControls::QtAutomationControls(std::function<QWidget*()> mainWindow)
    : mainWindow_(std::move(mainWindow)) {}

void QtAutomationControls::StartTicking(std::function<void()> tick) {
  QObject::disconnect(tick_);
  tick_ = QObject::connect(&timer_, &QTimer::timeout, std::move(tick));
  timer_.start(kTickMs);
}

void QtAutomationControls::StopTicking() {
  timer_.stop();
}

void QtAutomationControls::Later(std::function<void()> action) {
  QTimer::singleShot(0, &timer_, std::move(action));
}

bool QtAutomationControls::ModalOpen() const {
  return QApplication::activeModalWidget() != nullptr;
}

ControlReach QtAutomationControls::PressBoxButton(ScriptedAnswer answer) {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (box == nullptr) {
    return ControlReach::NotOpen;
  }
  QAbstractButton* button = box->button(ButtonFor(answer));
  if (answer == ScriptedAnswer::Ok && button == nullptr) {
    button = box->defaultButton();
  }
  if (button == nullptr) {
    return ControlReach::NoSuchControl;
  }
  ClickLater(button);
  return ControlReach::Done;
}

ControlReach QtAutomationControls::Choose(const std::string& path) {
  auto* chooser = qobject_cast<FileChooser*>(QApplication::activeModalWidget());
  if (chooser == nullptr) {
    return ControlReach::NotOpen;
  }
  chooser->NameField().setText(PathToQString(path));
  QTimer::singleShot(0, chooser, [chooser] { chooser->OnOk(); });
  return ControlReach::Done;
}

ControlReach QtAutomationControls::CancelModal() {
  auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
  if (dialog == nullptr) {
    return ControlReach::NotOpen;
  }
  QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
  return ControlReach::Done;
}

ControlReach QtAutomationControls::Click(int controlId) {
  auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
  if (dialog == nullptr || qobject_cast<QMessageBox*>(dialog) != nullptr) {
    return ControlReach::NotOpen;
  }
  auto* button = FindControl<QAbstractButton>(*dialog, controlId);
  if (button == nullptr) {
    return ControlReach::NoSuchControl;
  }
  ClickLater(button);
  return ControlReach::Done;
}

bool QtAutomationControls::Screenshot(const std::string& path) {
  QWidget* front = QApplication::activeModalWidget();
  if (front == nullptr) {
    front = mainWindow_();
  }
  return front != nullptr && front->grab().save(PathToQString(path), "PNG");
}

void QtAutomationControls::PaintNow() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible()) {
      window->repaint();
    }
  }
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

AutomationRunner::AutomationRunner(Application& app, AutomationMessageBoxes& boxes,
                                   std::vector<AutomationStep> steps, std::ostream& report,
                                   std::ostream& failures)
    : controls_([&app] { return dynamic_cast<QWidget*>(app.Window()); }),
      runner_(app, boxes, controls_, std::move(steps), report, failures) {}

int RunAutomated(std::string_view commandLine, const QString& scriptPath,
                 const std::vector<std::string>& arguments, bool demoMeter) {
  QtShell shell;
  QtMessageBoxes shownBoxes;
  QtAutomationControls controls([&shell] { return static_cast<QWidget*>(shell.Window()); });
  return RunAutomated(commandLine, PathFromQString(scriptPath), shell, shownBoxes, controls,
                      arguments, demoMeter);
}

}  // namespace klxr
