// The main window of the log download on a terminal: the progress bar is a line on standard error,
// redrawn in place, and the download timer is a loop that runs one DownloadStep after another for
// as long as the timer is set.
#pragma once

#include <ostream>
#include <string>

#include "cli/meter_commands.h"
#include "link/download_window.h"
#include "link/meter_link.h"

namespace klxr::cli {

// A line of the terminal that is redrawn in place until it is ended.
class ProgressLine {
 public:
  explicit ProgressLine(std::ostream& err) : err_(err) {}
  void Draw(const std::string& text);
  // Ends the line, so that what follows starts on a line of its own.
  void End();

 private:
  std::ostream& err_;
  std::string drawn_;
  bool open_ = false;
};

// "Reading the meter log [####      ]  600 of 1568 records", or at the end of the log
// "Reading the meter log [##########] 40 records, end of log".
std::string ProgressText(const DownloadState& state);

class TerminalDownloadWindow : public DownloadWindow {
 public:
  TerminalDownloadWindow(const DownloadState& state, ProgressLine& line)
      : state_(state), line_(line) {}

  void SetViewEnabled(bool) override {}
  // Draws the progress line while a download runs, and ends it when none does.
  void RequestRepaint(bool eraseBackground) override;
  void StartTimer(int timerId, int periodMs) override;
  bool KillTimer(int timerId) override;
  bool TimerRunning() const { return timerRunning_; }

 private:
  const DownloadState& state_;
  ProgressLine& line_;
  bool timerRunning_ = false;
};

// The download timer: ticks DownloadStep while the window's timer is set.
void RunDownloadTimer(MeterLink& link, TerminalDownloadWindow& window);

// Message boxes that end the progress line before a message appears.
class ProgressMessageBoxes : public NotingMessageBoxes {
 public:
  ProgressMessageBoxes(MessageBoxes& terminal, ProgressLine& line)
      : NotingMessageBoxes(terminal), line_(line) {}

 protected:
  void BeforeBox() override { line_.End(); }

 private:
  ProgressLine& line_;
};

}  // namespace klxr::cli
