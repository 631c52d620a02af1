// The main window of the log download on a terminal: the progress bar is the read's progress on
// standard error, and the download timer is a loop that runs one DownloadStep after another for as
// long as the timer is set, unless the user stops it.
#pragma once

#include <functional>

#include "cli/meter_commands.h"
#include "cli/read_progress.h"
#include "link/download_window.h"
#include "link/meter_link.h"

namespace klxr::cli {

class TerminalDownloadWindow : public DownloadWindow {
 public:
  TerminalDownloadWindow(const DownloadState& state, ReadProgress& progress)
      : state_(state), progress_(progress) {}

  void SetViewEnabled(bool) override {}
  // Shows the progress while a download runs, and ends its line when none does.
  void RequestRepaint(bool eraseBackground) override;
  void StartTimer(int timerId, int periodMs) override;
  bool KillTimer(int timerId) override;
  bool TimerRunning() const { return timerRunning_; }

 private:
  const DownloadState& state_;
  ReadProgress& progress_;
  bool timerRunning_ = false;
};

// The download timer: ticks DownloadStep while the window's timer is set. When stopRequested
// answers true before a tick, the download is ended as EndDownload does (timer stopped, "END" to
// the meter, port closed, no message) and the result is true.
bool RunDownloadTimer(MeterLink& link, TerminalDownloadWindow& window,
                      const std::function<bool()>& stopRequested);

// Message boxes that end the progress line before a message appears.
class ProgressMessageBoxes : public NotingMessageBoxes {
 public:
  ProgressMessageBoxes(MessageBoxes& terminal, ReadProgress& progress)
      : NotingMessageBoxes(terminal), progress_(progress) {}

 protected:
  void BeforeBox() override { progress_.End(); }

 private:
  ReadProgress& progress_;
};

}  // namespace klxr::cli
