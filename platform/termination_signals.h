// Ctrl-C (SIGINT) and SIGTERM, caught while a long piece of work wants to end it cleanly, and the
// file-size limit's signal.
#pragma once

#include <memory>

namespace klxr::platform {

// Calls the handler when SIGINT or SIGTERM arrives while the catcher lives. Each kind is caught
// once: afterwards the signal's default action is back, so a second one ends the program, as the
// user then expects. The previous handling returns when the catcher is destroyed. The handler runs
// as a signal handler and may only set a flag.
class TerminationSignalCatcher {
 public:
  using Handler = void (*)(int signal);

  explicit TerminationSignalCatcher(Handler handler);
  ~TerminationSignalCatcher();
  TerminationSignalCatcher(const TerminationSignalCatcher&) = delete;
  TerminationSignalCatcher& operator=(const TerminationSignalCatcher&) = delete;

 private:
  struct PreviousHandling;
  std::unique_ptr<PreviousHandling> previous_;
};

// Makes a write beyond the file-size limit fail (EFBIG), so that the writer can clean up, instead
// of ending the program (where the system has such a signal).
void IgnoreFileSizeLimitSignal();

}  // namespace klxr::platform
