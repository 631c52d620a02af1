// A main window for tests: records what the log and link code did to it, in order.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "link/download_window.h"

namespace klxr::testing {

class RecordingWindow : public DownloadWindow {
 public:
  void SetViewEnabled(bool enabled) override {
    viewEnabled = enabled;
    events.push_back(enabled ? "view on" : "view off");
  }
  void RequestRepaint(bool eraseBackground) override {
    events.push_back(eraseBackground ? "repaint erase" : "repaint");
  }
  void StartTimer(int timerId, int periodMs) override {
    timers.insert(timerId);
    events.push_back("timer start " + std::to_string(timerId) + " " + std::to_string(periodMs));
  }
  bool KillTimer(int timerId) override {
    events.push_back("timer kill " + std::to_string(timerId));
    return timers.erase(timerId) > 0;
  }

  bool viewEnabled = false;
  std::set<int> timers;
  std::vector<std::string> events;
};

}  // namespace klxr::testing
