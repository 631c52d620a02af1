// What a command of the main window came to, as a value: the shells and the automation show it,
// tests check it. The boxes that tell the user have been shown by the time it is returned.
#pragma once

#include <string>

namespace klxr {

enum class OutcomeKind {
  Done,         // the command did what it is for (for Read: the download runs)
  Cancelled,    // the user cancelled the chooser or answered No
  Failed,       // it could not be done: file and reason say why where they are known
  NothingToDo,  // no records to show or export, or an id that is no command
};

struct CommandOutcome {
  OutcomeKind kind = OutcomeKind::NothingToDo;
  std::string file;    // the file read or written, when there is one
  std::string reason;  // for Failed: the system's reason, or the text of the box that said why
  bool operator==(const CommandOutcome&) const = default;
};

}  // namespace klxr
