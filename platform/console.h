// The standard streams as the console shows them: their byte translation, and the terminal on
// standard error that live progress is drawn on.
#pragma once

namespace klxr::platform {

// Makes standard input, output and error pass bytes unchanged: no line-end translation and no end
// of file at a 0x1A byte. They already do everywhere but on Windows.
void UseBinaryStandardStreams();

// True when standard error is a terminal (a console window).
bool StandardErrorIsTerminal();

// The width of the terminal on standard error in columns; 0 when the system cannot tell.
int StandardErrorColumns();

}  // namespace klxr::platform
