// Ctrl-C (SIGINT) or SIGTERM during "read": the signal only raises a flag, which the read looks at
// between the steps of its conversation, so that it can end the conversation ("END"), close the
// port and leave the outputs alone.
#pragma once

#include "platform/termination_signals.h"

namespace klxr::cli {

// Catches SIGINT and SIGTERM while it lives and restores the previous handling afterwards. A second
// signal of the same kind is not caught: it ends the tool at once, as the user then expects.
class InterruptCatcher {
 public:
  InterruptCatcher();

 private:
  platform::TerminationSignalCatcher signals_;
};

// True once SIGINT or SIGTERM arrived while an InterruptCatcher lived.
bool InterruptRequested();

}  // namespace klxr::cli
