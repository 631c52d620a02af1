#include "desktop/qt/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "desktop/qt/app_icon.h"
#include "desktop/qt/eight_bit_text.h"

namespace klxr {

MainWindow::MainWindow(std::string_view caption, MainWindowCallbacks callbacks)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      callbacks_(std::move(callbacks)),
      clientArea_(new ProgressBarArea(callbacks_.progress, this)) {
  setWindowTitle(TextToQString(caption));
  setWindowIcon(AppIcon());
  BuildMenuBar(*menuBar(), kMainMenu, callbacks_.command);
  AssignShortcuts(*menuBar(), kMainShortcuts);
  setCentralWidget(clientArea_);
  setFocusPolicy(Qt::StrongFocus);
  ApplyOuterSize();
}

MainWindow::~MainWindow() = default;

void MainWindow::SetViewEnabled(bool enabled) {
  if (QAction* view = CommandAction(cmd::kView)) {
    view->setEnabled(enabled);
  }
}

void MainWindow::RequestRepaint(bool /*eraseBackground*/) {
  // The bar is painted whole from the download state each time, so a repaint that keeps the old
  // background shows the same picture as one that erases it first.
  clientArea_->update();
  clientArea_->RefreshAccessibleText();
}

void MainWindow::StartTimer(int timerId, int periodMs) {
  std::unique_ptr<QTimer>& timer = timers_[timerId];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, this, [this, timerId] {
      if (callbacks_.timerTick) {
        callbacks_.timerTick(timerId);
      }
    });
  }
  timer->start(periodMs);
}

bool MainWindow::KillTimer(int timerId) {
  const auto found = timers_.find(timerId);
  if (found == timers_.end() || !found->second->isActive()) {
    return false;
  }
  found->second->stop();
  return true;
}

bool MainWindow::IsTimerRunning(int timerId) const {
  const auto found = timers_.find(timerId);
  return found != timers_.end() && found->second->isActive();
}

void MainWindow::ShowTitle(std::string_view title) {
  setWindowTitle(TextToQString(title));
}

void MainWindow::AddProgramMenuItems() {
  InsertPopupItems(*menuBar(), 0, FileMenuProgramItemsPosition(), kFileMenuProgramItems,
                   callbacks_.command);
}

QAction* MainWindow::CommandAction(int commandId) const {
  return FindCommandAction(*menuBar(), commandId);
}

QSize MainWindow::InnerSizeFor(QSize frameExtra, int menuBarHeight) {
  const QSize inner = kMainWindowOuterSize - frameExtra;
  return {inner.width(), std::max(inner.height(), menuBarHeight + kMinimumClientHeight)};
}

void MainWindow::ApplyOuterSize() {
  const QSize frameExtra = frameGeometry().size() - geometry().size();
  const QSize inner = InnerSizeFor(frameExtra, menuBar()->sizeHint().height());
  if (minimumSize() != inner || maximumSize() != inner) {
    setFixedSize(inner);
  }
}

void MainWindow::CloseWithoutAsking() {
  forcedClose_ = true;
  close();
  forcedClose_ = false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // While a Read runs, the program asks whether to stop it; No keeps the window.
  if (!forcedClose_ && callbacks_.closing && !callbacks_.closing()) {
    event->ignore();
    return;
  }
  event->accept();
  if (callbacks_.destroyed) {
    callbacks_.destroyed();
  }
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  const int command = AcceleratorCommand(kMainAccelerators, event->key(), event->modifiers());
  if (command == 0 && event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    // Escape asks to stop a Read that runs; without one it does nothing.
    event->accept();
    if (callbacks_.stop) {
      callbacks_.stop();
    }
    return;
  }
  if (command == 0) {
    QMainWindow::keyPressEvent(event);
    return;
  }
  event->accept();
  if (callbacks_.command) {
    callbacks_.command(command);
  }
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  ApplyOuterSize();
  // The window manager may add its frame only after the window is shown.
  QTimer::singleShot(0, this, [this] { ApplyOuterSize(); });
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  ApplyOuterSize();
}

}  // namespace klxr
