#include "cli/interrupt.h"

#include <csignal>

namespace klxr::cli {
namespace {

// The one thing a signal handler may touch. Written only by the handler and by a new catcher.
volatile std::sig_atomic_t interruptRaised = 0;

void RaiseInterruptFlag(int) {
  interruptRaised = 1;
}

// A new catcher starts without the signal of an earlier one.
platform::TerminationSignalCatcher::Handler ClearedInterruptFlag() {
  interruptRaised = 0;
  return RaiseInterruptFlag;
}

}  // namespace

InterruptCatcher::InterruptCatcher() : signals_(ClearedInterruptFlag()) {}

bool InterruptRequested() {
  return interruptRaised != 0;
}

}  // namespace klxr::cli
