// Automation scripts for demos, screenshots and end-to-end tests. When the environment variable
// KLXR_AUTOMATION names a script file, the program runs the file's lines one after another while it
// runs normally: it chooses commands, answers message boxes and the file chooser from the script,
// and reports every box on standard output (or in the file KLXR_AUTOMATION_REPORT names, see
// automation_report.h). Without the variable nothing of this exists.
//
// One step a line; blank lines and lines starting with "#" are ignored:
//   command ID        choose a menu command by its id (as a click would: the script goes on while
//                     the command runs, so that it can answer the command's boxes and chooser)
//   answer WORD       yes, no, cancel or ok (the default button: OK, or Yes for a question); a box
//                     that is open is answered at once, otherwise the next box takes it. A box for
//                     which no answer is waiting is shown and waits for the user
//   choose PATH       in the open file chooser, type PATH into the name field and press OK
//   cancel            close the open modal window (file chooser or box) as Escape does
//   click ID          in the open dialog, click the button or check box with that control id
//                     (e.g. 1100, the log viewer's "Export (.csv)")
//   wait-idle         wait until no command runs, no download runs and no modal window is open
//   wait-modal        wait until a modal window (file chooser, dialog or box) is open
//   wait-progress N   wait until the progress bar shows at least N records
//   wait-file PATH    wait until the file exists
//   freeze-until PATH stop the whole program, painting included, until the file exists: writes
//                     "frozen PATH" on standard output first, so that a script outside can take a
//                     screenshot of that very moment (a download half done) and then create PATH
//   sleep MS          wait MS milliseconds
//   timeout SECONDS   the longest any later wait may last (60 at first); a wait that lasts
//                     longer fails the script
//   print TEXT        write TEXT on standard output
//   screenshot FILE   save a PNG picture of the front window (the modal window, or the main window)
//   quit              the "E&xit" command
// A script that fails reports the line and the reason on standard error and ends the program with
// exit code 3. A script that has run out leaves the program running.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace klxr {

inline constexpr char kAutomationVariable[] = "KLXR_AUTOMATION";
inline constexpr int kAutomationFailedExitCode = 3;
inline constexpr int kAutomationScriptErrorExitCode = 2;
inline constexpr int kDefaultWaitSeconds = 60;

enum class AutomationAction {
  Command,
  Answer,
  Choose,
  Cancel,
  Click,
  WaitIdle,
  WaitModal,
  WaitProgress,
  WaitFile,
  FreezeUntil,
  Sleep,
  Timeout,
  Print,
  Screenshot,
  Quit,
};

enum class ScriptedAnswer { Ok, Yes, No, Cancel };

struct AutomationStep {
  AutomationAction action = AutomationAction::Print;
  int line = 0;                                // line number in the script, from 1
  int number = 0;                              // Command, Click, WaitProgress, Sleep, Timeout
  std::string text;                            // Choose, WaitFile, FreezeUntil, Print, Screenshot
  ScriptedAnswer answer = ScriptedAnswer::Ok;  // Answer
  bool operator==(const AutomationStep&) const = default;
};

struct AutomationScript {
  std::vector<AutomationStep> steps;
  std::vector<std::string> errors;  // "line N: why"; the script runs only when there is none
};

AutomationScript ParseAutomationScript(std::string_view text);

// The word of an answer, as the reports write it.
std::string_view AnswerWord(ScriptedAnswer answer);

}  // namespace klxr
