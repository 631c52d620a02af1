// The main window's command table: each command id of the menu and the accelerators with the
// operation it runs. One dispatch function looks the id up; ids not in the table do nothing.
#pragma once

#include <array>

#include "resources/command_ids.h"

namespace klxr {

class Application;

struct CommandRow {
  int commandId;
  void (*run)(Application& app);
};

// The operations of the rows.
void OnLoad(Application& app);      // "&Load": chooser, then the .tlg file into the log image
void OnSave(Application& app);      // "&Save": chooser, then the log image into a .tlg file
void OnExport(Application& app);    // "Ex&port (.csv)": records? chooser, then the CSV file
void OnEraseLog(Application& app);  // "&Erase Log": the question, then the erase on Yes
void OnExit(Application& app);      // "E&xit": closes the main window
void OnRead(Application& app);      // "&Read": starts the log download
void OnView(Application& app);      // "&View": records? then the log viewer
void OnAbout(Application& app);     // "&About ..." and both accelerators: the About box
void OnVersion(Application& app);   // "Version": the "USB Device List" dialog

inline constexpr std::array<CommandRow, 9> kCommandTable{{
    {cmd::kLoad, OnLoad},
    {cmd::kSave, OnSave},
    {cmd::kExport, OnExport},
    {cmd::kEraseLog, OnEraseLog},
    {cmd::kExit, OnExit},
    {cmd::kRead, OnRead},
    {cmd::kView, OnView},
    {cmd::kAbout, OnAbout},
    {cmd::kVersion, OnVersion},
}};

// Runs the row of the command id; false, doing nothing, when the table has no such row.
bool DispatchCommand(Application& app, int commandId);

}  // namespace klxr
