#include "platform/console.h"

#include <langinfo.h>
#include <locale.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace klxr::platform {
namespace {

volatile sig_atomic_t resized = 0;

void NoteResize(int /*signal*/) {
  resized = 1;
}

}  // namespace

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

void WatchTerminalResizes() {
  struct sigaction action {};
  action.sa_handler = NoteResize;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // a read or write under way goes on
  sigaction(SIGWINCH, &action, nullptr);
}

bool TakeTerminalResized() {
  if (resized == 0) {
    return false;
  }
  resized = 0;
  return true;
}

std::string StandardOutputTerminalCodeset() {
  if (isatty(STDOUT_FILENO) != 1) {
    return "";
  }
  // The locale of the environment, asked without making it the process's own.
  const locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) {
    return "ANSI_X3.4-1968";
  }
  std::string codeset = nl_langinfo_l(CODESET, locale);
  freelocale(locale);
  return codeset;
}

}  // namespace klxr::platform
