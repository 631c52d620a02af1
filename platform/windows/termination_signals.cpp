#include "platform/termination_signals.h"

#include <csignal>

namespace klxr::platform {

struct TerminationSignalCatcher::PreviousHandling {
  TerminationSignalCatcher::Handler interrupt = SIG_DFL;
  TerminationSignalCatcher::Handler terminate = SIG_DFL;
};

// The runtime resets the handler to the default before it runs, so each kind is caught once.
TerminationSignalCatcher::TerminationSignalCatcher(Handler handler)
    : previous_(std::make_unique<PreviousHandling>()) {
  previous_->interrupt = std::signal(SIGINT, handler);
  previous_->terminate = std::signal(SIGTERM, handler);
}

TerminationSignalCatcher::~TerminationSignalCatcher() {
  std::signal(SIGINT, previous_->interrupt);
  std::signal(SIGTERM, previous_->terminate);
}

// Windows has no file-size limit signal: a write beyond a limit fails by itself.
void IgnoreFileSizeLimitSignal() {}

}  // namespace klxr::platform
