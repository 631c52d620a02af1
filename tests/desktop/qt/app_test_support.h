// Helpers of the desktop program's tests: an application on the in-process virtual meter (virtual
// clock) with recorded message boxes and a settings file of its own, running the event loop until
// a condition holds, and answering modal windows as they appear.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "desktop/application.h"
#include "desktop/qt/qt_shell.h"
#include "desktop/qt/remembered_folders.h"
#include "support/bus_services.h"
#include "support/recording_message_boxes.h"
#include "ui_test_support.h"
#include "virtual-meter/meter_records.h"
#include "virtual-meter/virtual_bus.h"

namespace klxr::testing {

// Runs the event loop until the condition holds or the time is up; returns the condition.
inline bool RunEventsUntil(const std::function<bool()>& condition, int timeoutMs = 20000) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > timeoutMs) {
      return false;
    }
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

// Hands each modal window that appears, once, to the action, while it lives.
class ModalWatcher {
 public:
  explicit ModalWatcher(std::function<void(QWidget*)> action) : action_(std::move(action)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal != nullptr && modal->isVisible() && seen_.insert(modal).second) {
        ++count;
        action_(modal);
      }
    });
    timer_.start(2);
  }
  int count = 0;

 private:
  std::function<void(QWidget*)> action_;
  std::set<QWidget*> seen_;
  QTimer timer_;
};

// Recorded boxes that can also act at the moment a box is shown.
class WatchedMessageBoxes : public RecordingMessageBoxes {
 public:
  void Show(int index, std::string_view text, BoxKind kind) override {
    RecordingMessageBoxes::Show(index, text, kind);
    if (onShow) {
      onShow(index);
    }
  }
  std::function<void(int index)> onShow;
};

// Each test has a folder of its own, which also holds the remembered folders' settings file.
class AppTest : public ::testing::Test {
 protected:
  AppTest() : previousSettings_(qgetenv(kSettingsFileVariable)) {
    qputenv(kSettingsFileVariable, QByteArray::fromStdString(folder_.Path("settings.ini")));
  }
  ~AppTest() override {
    app_.reset();
    bus_.reset();
    if (previousSettings_.isNull()) {
      qunsetenv(kSettingsFileVariable);
    } else {
      qputenv(kSettingsFileVariable, previousSettings_);
    }
  }

  // Starts the program on a bus with one meter holding the records; the bus's logs then start
  // empty.
  void StartWithMeter(std::vector<vm::RecordBytes> records = {}) {
    bus_ = std::make_unique<vm::VirtualBus>(vm::OneMeter(std::move(records)));
    app_ = std::make_unique<Application>(shell_, boxes_, BusServices(*bus_));
    ASSERT_TRUE(app_->Start(""));
    bus_->ClearLogs();
  }

  AppState& State() { return app_->State(); }
  MainWindow& Window() { return *shell_.Window(); }

  TemporaryFolder folder_;
  QByteArray previousSettings_;
  QtShell shell_;
  WatchedMessageBoxes boxes_;
  std::unique_ptr<vm::VirtualBus> bus_;
  std::unique_ptr<Application> app_;
};

}  // namespace klxr::testing
