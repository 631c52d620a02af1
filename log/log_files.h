// The .tlg log file (the 100352 bytes of the log image, nothing else) and the CSV export. Every
// failure is reported through the message boxes; in quiet mode the failure to open or create a
// file is not reported, every other report stays.
#pragma once

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "log/log_image.h"
#include "log/view_command.h"
#include "log/whole_file.h"
#include "resources/message_catalogue.h"

namespace klxr {

// Replaces the image by the file's content and enables the window's View command (a null window is
// left alone). Returns 0 when loaded; 1 when the file cannot be opened ("Invalid binary file");
// -1 when it does not hold exactly 100352 bytes or cannot be read whole ("Error - Invalid data
// file", also in quiet mode). On a failure the image is unchanged.
int LoadLogFile(LogImage& image, const std::string& path, ViewCommand* window, MessageBoxes& boxes,
                bool quietMode);
int LoadLogFile(LogImage& image, const std::string& path, ViewCommand* window, MessageBoxes& boxes,
                bool quietMode, const FileHooks& hooks);

// The same from an open stream (standard input) that holds a .tlg file: results and reports as
// for LoadLogFile.
int LoadLogStream(LogImage& image, std::FILE* stream, ViewCommand* window, MessageBoxes& boxes,
                  bool quietMode, const FileHooks& hooks = {});

// The records of the .tlg log in the file at path, counted as CountRecords counts them; 0 when the
// file holds no log that can be read: missing, not a regular file, or not exactly 100352 bytes.
int CountFileRecords(const std::string& path);

// The modification time of the log file at path (8-bit, the system's encoding); none when the file
// cannot be found. It dates a loaded log, as in the report's header.
std::optional<std::chrono::system_clock::time_point> LogFileTime(const std::string& path);

// Writes the whole image, replacing any file of that name. Returns 0 when written; -1 when the
// file cannot be created ("Can't save program image", not in quiet mode) or a write fails ("Can't
// save program image", also in quiet mode); an earlier file of that name is then left as it was.
int SaveLogFile(const LogImage& image, const std::string& path, MessageBoxes& boxes,
                bool quietMode);
int SaveLogFile(const LogImage& image, const std::string& path, MessageBoxes& boxes, bool quietMode,
                const FileHooks& hooks);

// Writes the CSV header and the CSV lines of slots 0 to recordCount - 1, replacing any file of that
// name. Results and reports as for SaveLogFile.
int ExportCsv(const LogImage& image, const std::string& path, int recordCount, MessageBoxes& boxes,
              bool quietMode);
int ExportCsv(const LogImage& image, const std::string& path, int recordCount, MessageBoxes& boxes,
              bool quietMode, const FileHooks& hooks);

// Turns the outcome of writing a file the user chose into the result and report every writer
// gives: 0 when written; -1 with "Can't save program image" when the file cannot be created (not
// in quiet mode) or a write failed (also in quiet mode).
int ReportWriteOutcome(FileStatus status, MessageBoxes& boxes, bool quietMode);

// The content of a CSV export of slots 0 to recordCount - 1 (clamped to 0 to kSlotCount).
std::string MakeCsvText(const LogImage& image, int recordCount);

}  // namespace klxr
