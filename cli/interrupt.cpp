#include "cli/interrupt.h"

#include <csignal>

namespace klxr::cli {
namespace {

// The one thing a signal handler may touch. Written only by the handler and by a new catcher.
volatile std::sig_atomic_t interruptRaised = 0;

void RaiseInterruptFlag(int) {
  interruptRaised = 1;
}

}  // namespace

InterruptCatcher::InterruptCatcher() {
  interruptRaised = 0;
#ifndef _WIN32
  struct sigaction action {};
  action.sa_handler = RaiseInterruptFlag;
  sigemptyset(&action.sa_mask);
  // Restarted calls keep a read of the driver from failing; the handler is reset to the default
  // once it has run, so a second Ctrl-C ends the tool.
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  sigaction(SIGINT, &action, &previousInterrupt_);
  sigaction(SIGTERM, &action, &previousTerminate_);
#else
  // On Windows the handler is reset to the default before it runs.
  previousInterrupt_ = std::signal(SIGINT, RaiseInterruptFlag);
  previousTerminate_ = std::signal(SIGTERM, RaiseInterruptFlag);
#endif
}

InterruptCatcher::~InterruptCatcher() {
#ifndef _WIN32
  sigaction(SIGINT, &previousInterrupt_, nullptr);
  sigaction(SIGTERM, &previousTerminate_, nullptr);
#else
  std::signal(SIGINT, previousInterrupt_);
  std::signal(SIGTERM, previousTerminate_);
#endif
}

bool InterruptRequested() {
  return interruptRaised != 0;
}

}  // namespace klxr::cli
