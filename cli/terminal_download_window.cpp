#include "cli/terminal_download_window.h"

#include "link/log_download.h"
#include "resources/command_ids.h"

namespace klxr::cli {
namespace {

constexpr int kBarWidth = 40;

}  // namespace

void ProgressLine::Draw(const std::string& text) {
  if (open_ && text == drawn_) {
    return;
  }
  // Blanks cover the rest of a longer line drawn before.
  const std::size_t cover = drawn_.size() > text.size() ? drawn_.size() - text.size() : 0;
  err_ << '\r' << text << std::string(cover, ' ') << std::flush;
  drawn_ = text;
  open_ = true;
}

void ProgressLine::End() {
  if (open_) {
    err_ << '\n' << std::flush;
  }
  open_ = false;
  drawn_.clear();
}

std::string ProgressText(const DownloadState& state) {
  const int total = state.ProgressTotal > 0 ? state.ProgressTotal : 1;
  const int filled = state.ProgressShown * kBarWidth / total;
  std::string text = "Reading the meter log [" +
                     std::string(static_cast<std::size_t>(filled), '#') +
                     std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') + "] ";
  if (state.ProgressShown >= state.ProgressTotal) {
    return text + std::to_string(state.RecordsReceived) + " records, end of log";
  }
  return text + std::to_string(state.RecordsReceived) + " of " +
         std::to_string(state.ProgressTotal) + " records";
}

void TerminalDownloadWindow::RequestRepaint(bool) {
  if (state_.DownloadRunning) {
    line_.Draw(ProgressText(state_));
  } else {
    line_.End();
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

void RunDownloadTimer(MeterLink& link, TerminalDownloadWindow& window) {
  // A fast step never waits, so the timer's period passes between steps; a paced step waits in
  // its read.
  const bool fast = UsesFastTransfer(link);
  while (window.TimerRunning()) {
    DownloadStep(link, &window);
    if (fast && window.TimerRunning()) {
      link.Sleep(cmd::kDownloadTimerPeriodMs);
    }
  }
}

}  // namespace klxr::cli
