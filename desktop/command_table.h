// The main window's command table: each command id of the menu and the accelerators with the flow
// it runs. One dispatch function looks the id up; ids not in the table do nothing. Each flow shows
// its boxes as the program always has and returns what it came to.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "desktop/command_outcome.h"
#include "resources/command_ids.h"

namespace klxr {

class Application;

struct CommandRow {
  int commandId;
  CommandOutcome (*run)(Application& app);
};

// The flows of the rows.
CommandOutcome OnLoad(Application& app);      // "&Load": chooser, then the .tlg file into the image
CommandOutcome OnSave(Application& app);      // "&Save": chooser, then the image into a .tlg file
CommandOutcome OnExport(Application& app);    // "Ex&port (.csv)": records? chooser, then the CSV
CommandOutcome OnEraseLog(Application& app);  // "&Erase Log": the question, then the erase on Yes
CommandOutcome OnExit(Application& app);      // "E&xit": closes the main window (a Read: asks)
CommandOutcome OnRead(Application& app);      // "&Read": starts the log download
CommandOutcome OnView(Application& app);      // "&View": records? then the log viewer
CommandOutcome OnAbout(Application& app);     // "&About ..." and both accelerators: the About box
// "Version": the "USB Device List" dialog; a meter picked there is the one Read and Erase use.
CommandOutcome OnVersion(Application& app);
// "&History...": the surveys of the archive in the "History" window; without an archive a box
// says why (history_flow.cpp).
CommandOutcome OnHistory(Application& app);
// "Report (.pdf)...": records? chooser, then the PDF report of the log in dBm.
CommandOutcome OnReport(Application& app);

inline constexpr std::array<CommandRow, 11> kCommandTable{{
    {cmd::kLoad, OnLoad},
    {cmd::kSave, OnSave},
    {cmd::kExport, OnExport},
    {cmd::kEraseLog, OnEraseLog},
    {cmd::kExit, OnExit},
    {cmd::kRead, OnRead},
    {cmd::kView, OnView},
    {cmd::kAbout, OnAbout},
    {cmd::kVersion, OnVersion},
    {cmd::kHistory, OnHistory},
    {cmd::kReport, OnReport},
}};

// The .tlg file at path into the log image as "&Load" loads a chosen one, with its boxes (none in
// quiet mode); the title and the report's origin then name the file.
CommandOutcome LoadNamedLogFile(Application& app, const std::string& path);

// A command that failed where the log code told why in a box: the system's reason where one was
// set when the box was raised, else the box's own text.
CommandOutcome FailureOutcome(Application& app, std::string file, bool systemFailure);

// Runs the row of the command id and returns its outcome; nullopt, doing nothing, when the table
// has no such row.
std::optional<CommandOutcome> DispatchCommand(Application& app, int commandId);

}  // namespace klxr
