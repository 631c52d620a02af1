// Where the survey archive lives: the file KLXR_ARCHIVE names, else surveys.sqlite in the
// program's folder of the user's data folder.
#pragma once

#include <string>

namespace klxr::archive {

inline constexpr char kArchiveVariable[] = "KLXR_ARCHIVE";

// $KLXR_ARCHIVE when set; else $XDG_DATA_HOME/klxr-log/surveys.sqlite (~/.local/share/... when
// XDG_DATA_HOME is unset or relative), on Windows %LOCALAPPDATA%\klxr-log\surveys.sqlite.
std::string ArchiveFile();

// Creates the folder that holds the file when it is missing. Empty on success, else why not.
std::string PrepareArchiveFolder(const std::string& file);

}  // namespace klxr::archive
