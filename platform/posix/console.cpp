#include "platform/console.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace klxr::platform {

void UseBinaryStandardStreams() {}

bool StandardErrorIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

int StandardErrorColumns() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0) {
    return size.ws_col;
  }
  return 0;
}

}  // namespace klxr::platform
