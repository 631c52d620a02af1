// The standard streams as the console shows them: their byte translation, and the terminal on
// standard error that live progress is drawn on.
#pragma once

#include <string>

namespace klxr::platform {

// Makes standard input, output and error pass bytes unchanged: no line-end translation and no end
// of file at a 0x1A byte. They already do everywhere but on Windows.
void UseBinaryStandardStreams();

// True when standard error is a terminal (a console window).
bool StandardErrorIsTerminal();

// The width of the terminal on standard error in columns; 0 when the system cannot tell.
int StandardErrorColumns();

// From now on a resize of the terminal (SIGWINCH) raises a flag; the handler does nothing else.
// Nothing is watched where the system has no such signal.
void WatchTerminalResizes();

// True once after each resize since the last call (always false before WatchTerminalResizes).
bool TakeTerminalResized();

// The codeset of the terminal on standard output as the user's locale names it ("UTF-8",
// "ISO-8859-1"; on Windows "UTF-8" for the console's code page 65001, else "CP" and its number);
// empty when standard output is not a terminal.
std::string StandardOutputTerminalCodeset();

}  // namespace klxr::platform
