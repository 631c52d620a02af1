#include "platform/console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

namespace klxr::platform {

void UseBinaryStandardStreams() {
  _setmode(_fileno(stdin), _O_BINARY);  // a .tlg log read from standard input ("-")
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

bool StandardErrorIsTerminal() {
  return _isatty(_fileno(stderr)) != 0;
}

// The console's width is not asked for: progress lines keep to the common width there.
int StandardErrorColumns() {
  return 0;
}

// The console's width is not asked for, so its resizes are not watched either.
void WatchTerminalResizes() {}

bool TakeTerminalResized() {
  return false;
}

std::string StandardOutputTerminalCodeset() {
  if (_isatty(_fileno(stdout)) == 0) {
    return "";
  }
  const UINT codePage = GetConsoleOutputCP();
  return codePage == CP_UTF8 ? "UTF-8" : "CP" + std::to_string(codePage);
}

}  // namespace klxr::platform
