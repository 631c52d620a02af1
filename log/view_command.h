// The one thing the log code does to the main window: gray or enable its View command.
#pragma once

namespace klxr {

class ViewCommand {
 public:
  virtual ~ViewCommand() = default;
  // Enables (true) or grays (false) the View command of the main window's menu and redraws the
  // menu bar.
  virtual void SetViewEnabled(bool enabled) = 0;
};

}  // namespace klxr
