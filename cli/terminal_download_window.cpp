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
  while (window.TimerRunning()) {
    if (stopRequested()) {
      AbandonDownload(link, &window);
      return true;
    }
    DownloadStep(link, &window);
  }
  return false;
}

}  // namespace klxr::cli
