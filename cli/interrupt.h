// Ctrl-C during "read": the signal only raises a flag, which the read looks at between the steps
// of its conversation, so that it can close the port and leave the outputs alone.
#pragma once

#include <csignal>

namespace klxr::cli {

// Catches SIGINT while it lives and restores the previous handling afterwards. A second Ctrl-C is
// not caught: it ends the tool at once, as the user then expects.
class InterruptCatcher {
 public:
  InterruptCatcher();
  ~InterruptCatcher();
  InterruptCatcher(const InterruptCatcher&) = delete;
  InterruptCatcher& operator=(const InterruptCatcher&) = delete;

 private:
#ifndef _WIN32
  struct sigaction previous_ {};
#else
  void (*previous_)(int) = SIG_DFL;
#endif
};

// True once SIGINT arrived while an InterruptCatcher lived.
bool InterruptRequested();

}  // namespace klxr::cli
