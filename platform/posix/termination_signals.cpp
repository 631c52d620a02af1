#include "platform/termination_signals.h"

#include <csignal>

namespace klxr::platform {

struct TerminationSignalCatcher::PreviousHandling {
  struct sigaction interrupt {};
  struct sigaction terminate {};
};

TerminationSignalCatcher::TerminationSignalCatcher(Handler handler)
    : previous_(std::make_unique<PreviousHandling>()) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  // Restarted calls keep a read of the driver from failing; the handler is reset to the default
  // once it has run.
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  sigaction(SIGINT, &action, &previous_->interrupt);
  sigaction(SIGTERM, &action, &previous_->terminate);
}

TerminationSignalCatcher::~TerminationSignalCatcher() {
  sigaction(SIGINT, &previous_->interrupt, nullptr);
  sigaction(SIGTERM, &previous_->terminate, nullptr);
}

void IgnoreFileSizeLimitSignal() {
  std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace klxr::platform
