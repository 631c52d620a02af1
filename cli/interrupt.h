// Ctrl-C (SIGINT) or SIGTERM during "read": the signal only raises a flag, which the read looks at
// between the steps of its conversation, so that it can end the conversation ("END"), close the
// port and leave the outputs alone.
#pragma once

#include <csignal>

namespace klxr::cli {

// Catches SIGINT and SIGTERM while it lives and restores the previous handling afterwards. A second
// signal of the same kind is not caught: it ends the tool at once, as the user then expects.
class InterruptCatcher {
 public:
  InterruptCatcher();
  ~InterruptCatcher();
  InterruptCatcher(const InterruptCatcher&) = delete;
  InterruptCatcher& operator=(const InterruptCatcher&) = delete;

 private:
#ifndef _WIN32
  struct sigaction previousInterrupt_ {};
  struct sigaction previousTerminate_ {};
#else
  void (*previousInterrupt_)(int) = SIG_DFL;
  void (*previousTerminate_)(int) = SIG_DFL;
#endif
};

// True once SIGINT or SIGTERM arrived while an InterruptCatcher lived.
bool InterruptRequested();

}  // namespace klxr::cli
