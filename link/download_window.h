// What the meter conversations do to the main window. The desktop program implements it on its
// main window, the command-line tool on the terminal, tests with a recorder. A null pointer means
// "no window" and is left alone.
#pragma once

#include "log/view_command.h"

namespace klxr {

class DownloadWindow : public ViewCommand {
 public:
  // Asks for the main window to be repainted, with or without erasing its background first.
  virtual void RequestRepaint(bool eraseBackground) = 0;
  // Starts (or restarts) a timer of the window that delivers a tick every periodMs.
  virtual void StartTimer(int timerId, int periodMs) = 0;
  // Stops the timer; returns false when no such timer was running.
  virtual bool KillTimer(int timerId) = 0;
};

}  // namespace klxr
