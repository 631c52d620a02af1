// Where the survey archive lives: the file KLXR_ARCHIVE names, else surveys.sqlite in the
// program's folder of the user's data folder.
#pragma once

#include <string>

namespace klxr::archive {

inline constexpr char kArchiveVariable[] = "KLXR_ARCHIVE";

// $KLXR_ARCHIVE when set; else $XDG_DATA_HOME/klxr-log/surveys.sqlite (~/.local/share/... when
// XDG_DATA_HOME is unset or relative), on Windows %LOCALAPPDATA%\klxr-log\surveys.sqlite.
std::string ArchiveFile();

// The demo keeps its reads apart from real surveys, so that the sample log is never taken for a
// survey of a real aerial: unless KLXR_ARCHIVE names a file, it is set for this process to
// demo-surveys.sqlite beside the user's archive.
void UseDemoArchive();

// Creates the folder that holds the file when it is missing. Empty on success, else why not.
std::string PrepareArchiveFolder(const std::string& file);

}  // namespace klxr::archive
