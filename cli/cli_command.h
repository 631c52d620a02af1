// What every command of klxr-log-cli is given, and how the command table describes a command.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/survey_operands.h"
#include "log/log_image.h"
#include "resources/message_catalogue.h"

namespace klxr::cli {

struct CliContext {
  std::ostream& out;               // the command's result, nothing else
  std::ostream& err;               // usage errors
  MessageBoxes& boxes;             // the program's messages, on standard error
  bool errIsTerminal = false;      // standard error is a terminal: progress may be drawn in place
  int errColumns = 0;              // then: its width (0: not known)
  bool outIsUtf8Terminal = false;  // standard output is a terminal that shows UTF-8
  std::vector<SurveyLookup> surveyLookups = {};  // names of logs besides files, for "compare"
};

// Runs a command with the arguments that follow its name; returns the exit status.
using CommandFunction = int (*)(const std::vector<std::string>& arguments, CliContext& context);

struct CliCommand {
  std::string_view name;
  std::string_view summary;  // one line for the command list
  std::string_view help;     // the full text of "help COMMAND", usage line first
  CommandFunction run;
  std::string_view exitStatus = {};  // the command's own exit statuses; empty: the tool's
};

// Reports a bad command line with a hint to the command's help; returns kExitUsage.
int ReportUsageError(CliContext& context, std::string_view command, std::string_view error);

// Loads a .tlg file for a command ("-": from standard input) and counts its records. Returns the
// count, or 0 when the file was refused or holds no record ("No logging data present"); the reason
// was reported.
int LoadCountedLog(const std::string& path, LogImage& image, MessageBoxes& boxes);

// Counts the records of the log; with none, reports "No logging data present" and returns 0.
int CountRecordsOrReport(const LogImage& image, MessageBoxes& boxes);

// Writes the display line of each of the first count records, one a line, in the given units
// (kUnitsDbm or kUnitsDbuv), the names converted to UTF-8 when utf8 is true; false when the
// output failed.
bool PrintDisplayLines(const LogImage& image, int count, std::uint8_t units, std::ostream& out,
                       bool utf8 = false);

// The commands of the table in main.cpp.
int RunShow(const std::vector<std::string>& arguments, CliContext& context);
int RunExport(const std::vector<std::string>& arguments, CliContext& context);
int RunRead(const std::vector<std::string>& arguments, CliContext& context);
int RunErase(const std::vector<std::string>& arguments, CliContext& context);
int RunList(const std::vector<std::string>& arguments, CliContext& context);
int RunAdapter(const std::vector<std::string>& arguments, CliContext& context);
int RunCompare(const std::vector<std::string>& arguments, CliContext& context);
int RunReport(const std::vector<std::string>& arguments, CliContext& context);
int RunHistory(const std::vector<std::string>& arguments, CliContext& context);

}  // namespace klxr::cli
