#include "cli/terminal_download_window.h"

#include "link/log_download.h"
#include "resources/command_ids.h"

namespace klxr::cli {

void TerminalDownloadWindow::RequestRepaint(bool) {
  if (state_.DownloadRunning) {
    progress_.Update(state_);
  } else {
    progress_.End();
  }
}

void TerminalDownloadWindow::StartTimer(int timerId, int) {
  if (timerId == cmd::kDownloadTimerId) {
    timerRunning_ = true;
    RequestRepaint(false);
  }
}

bool TerminalDownloadWindow::KillTimer(int timerId) {
  const bool wasRunning = timerId == cmd::kDownloadTimerId && timerRunning_;
  if (timerId == cmd::kDownloadTimerId) {
    timerRunning_ = false;
  }
  return wasRunning;
}

bool RunDownloadTimer(MeterLink& link, TerminalDownloadWindow& window,
                      const std::function<bool()>& stopRequested) {
  // A fast step never waits, so the timer's period passes between steps; a paced step waits in
  // its read.
  const bool fast = UsesFastTransfer(link);
  while (window.TimerRunning()) {
    if (stopRequested()) {
      EndDownload(link, &window);
      return true;
    }
    DownloadStep(link, &window);
    if (fast && window.TimerRunning()) {
      link.Sleep(cmd::kDownloadTimerPeriodMs);
    }
  }
  return false;
}

}  // namespace klxr::cli
