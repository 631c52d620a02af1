// A desktop shell for tests of the core: records which window and dialogs the core asked for,
// answers each file chooser with a path or a cancel, and runs no event loop.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "desktop/desktop_shell.h"
#include "support/recording_window.h"

namespace klxr::testing {

// The main window: what the conversations did to it, in order, and whether it was closed.
class FakeDesktopWindow : public DesktopWindow {
 public:
  explicit FakeDesktopWindow(MainWindowCallbacks callbacks) : callbacks_(std::move(callbacks)) {}
  void SetViewEnabled(bool enabled) override { recorded.SetViewEnabled(enabled); }
  void RequestRepaint(bool eraseBackground) override { recorded.RequestRepaint(eraseBackground); }
  void StartTimer(int timerId, int periodMs) override { recorded.StartTimer(timerId, periodMs); }
  bool KillTimer(int timerId) override { return recorded.KillTimer(timerId); }
  void ShowTitle(std::string_view title) override { titles.emplace_back(title); }
  void Close() override {
    closed = true;
    if (callbacks_.destroyed) {
      callbacks_.destroyed();
    }
  }

  // The user's keys and clicks, as the shells pass them on.
  void PressEscape() {
    if (callbacks_.stop) {
      callbacks_.stop();
    }
  }
  void ClickCloseBox() {
    if (!callbacks_.closing || callbacks_.closing()) {
      Close();
    }
  }

  RecordingWindow recorded;
  std::vector<std::string> titles;  // every title shown after the window was made
  bool closed = false;

 private:
  MainWindowCallbacks callbacks_;
};

class FakeDesktopShell : public DesktopShell {
 public:
  std::unique_ptr<DesktopWindow> CreateMainWindow(std::string_view title,
                                                  MainWindowCallbacks callbacks) override {
    caption = title;
    auto created = std::make_unique<FakeDesktopWindow>(std::move(callbacks));
    window = created.get();
    return created;
  }
  int RunEventLoop() override {
    ++loopsRun;
    return exitCode;
  }
  void QuitEventLoop(int code) override { exitCode = code; }

  bool RunFileChooser(ChooserRequest& request, const ChooserCommand& command,
                      MessageBoxes&) override {
    dialogs.push_back("chooser " + std::string(command.valueName));
    request.SaveMode = command.saveMode;
    request.ChosenPath.clear();
    if (!chooserAnswers.empty()) {
      request.ChosenPath = chooserAnswers.front().value_or("");
      chooserAnswers.pop_front();
    }
    return !request.ChosenPath.empty();
  }
  void RunLogViewer(const LogViewerContext&) override { dialogs.push_back("viewer"); }
  void RunAboutBox() override { dialogs.push_back("about"); }
  std::optional<ListedMeter> RunDeviceList(const MeterLink& link) override {
    dialogs.push_back("devices");
    return onDeviceList ? onDeviceList(link) : std::nullopt;
  }
  void RunReport(const LogViewerContext&) override { dialogs.push_back("report"); }
  void RunHistoryWindow(HistoryCommands& history) override {
    dialogs.push_back("history");
    if (onHistory) {
      onHistory(history);
    }
  }

  std::string caption;
  FakeDesktopWindow* window = nullptr;  // the window last created
  // "chooser VALUENAME", "viewer", "about", "devices", "history", "report"
  std::vector<std::string> dialogs;
  // The answer of each chooser in turn: a path, or none to cancel; a cancel once they run out.
  std::deque<std::optional<std::string>> chooserAnswers;
  // What the user does in the "History" window while it is open.
  std::function<void(HistoryCommands&)> onHistory;
  // The meter the user picks in the device list, given the link; none picked when unset.
  std::function<std::optional<ListedMeter>(const MeterLink&)> onDeviceList;
  int loopsRun = 0;
  int exitCode = 0;
};

}  // namespace klxr::testing
