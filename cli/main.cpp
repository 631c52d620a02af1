// klxr-log-cli: the command-line companion of the meter log program. One table lists the commands;
// each command lives in its own file (command_*.cpp).
#include <array>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/exit_status.h"
#include "cli/terminal_message_boxes.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace klxr::cli {
namespace {

constexpr std::string_view kShowHelp =
    "Usage: klxr-log-cli show LOG.tlg [--dbuv]\n"
    "\n"
    "Prints the records of the log file LOG.tlg on standard output, one line per record, exactly\n"
    "as the log viewer lists them: tab-separated fields (sequence, frequency, channel,\n"
    "specification, multiplex, status, quality, video and audio power, mode, PLP mode, digital\n"
    "power, MER or C/N, BER). Names are written as the log's raw 8-bit bytes.\n"
    "\n"
    "  --dbuv   power levels in dBuV instead of dBm\n"
    "\n"
    "A log without records reports \"No logging data present\" (exit status 1).\n";

constexpr std::string_view kExportHelp =
    "Usage: klxr-log-cli export LOG.tlg OUT.csv\n"
    "\n"
    "Writes the records of the log file LOG.tlg to OUT.csv, byte for byte as the program's\n"
    "\"Export (.csv)\" does: a header line and one line of 17 quoted fields per record, levels in\n"
    "both dBm and dBuV, CR LF line ends. An existing OUT.csv is replaced only when the whole file\n"
    "was written; on any failure it is left as it was.\n"
    "\n"
    "A log without records reports \"No logging data present\" and writes nothing (exit status "
    "1).\n";

constexpr std::array<CliCommand, 2> kCommands{{
    {"show", "print the records of a .tlg log, one tab-separated line each", kShowHelp, RunShow},
    {"export", "write the records of a .tlg log as a CSV file", kExportHelp, RunExport},
}};

constexpr std::string_view kVersionText = "klxr-log-cli " KLXR_VERSION "\n";

constexpr std::string_view kExitStatusHelp =
    "Exit status: 0 success; 1 failure (the program's message is on standard error, e.g.\n"
    "\"Error - Invalid data file\", \"Invalid binary file\", \"Can't save program image\",\n"
    "\"No logging data present\"); 2 usage error.\n";

const CliCommand* FindCommand(std::string_view name) {
  for (const CliCommand& command : kCommands) {
    if (command.name == name) {
      return &command;
    }
  }
  return nullptr;
}

void PrintOverview(std::ostream& out) {
  out << "Usage: klxr-log-cli COMMAND [ARGUMENTS]\n"
         "       klxr-log-cli help COMMAND | --help | --version\n"
         "\n"
         "Shows and exports the measurement log of the signal meter kept in .tlg files.\n"
         "\n"
         "Commands:\n";
  for (const CliCommand& command : kCommands) {
    out << "  " << command.name << std::string(10 - command.name.size(), ' ') << command.summary
        << "\n";
  }
  out << "  help      explain a command\n"
         "\n"
         "Options:\n"
         "  --help    show this text\n"
         "  --version show the version\n"
         "\n"
      << kExitStatusHelp
      << "Run 'klxr-log-cli help COMMAND' or 'klxr-log-cli COMMAND --help' for the details.\n";
}

int ReportUnknownCommand(std::ostream& err, std::string_view name) {
  err << "klxr-log-cli: unknown command '" << name << "'\n"
      << "Try 'klxr-log-cli --help'.\n";
  return kExitUsage;
}

int RunHelp(const std::vector<std::string>& arguments, CliContext& context) {
  if (arguments.empty()) {
    PrintOverview(context.out);
    return kExitOk;
  }
  if (arguments.size() > 1) {
    return ReportUsageError(context, "help", "unexpected argument '" + arguments[1] + "'");
  }
  const CliCommand* command = FindCommand(arguments[0]);
  if (command == nullptr) {
    return ReportUnknownCommand(context.err, arguments[0]);
  }
  context.out << command->help << "\n" << kExitStatusHelp;
  return kExitOk;
}

// The tool writes the log's bytes unchanged: no line-end translation on standard output.
void UseBinaryStandardOutput() {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
#endif
}

int Run(const std::vector<std::string>& arguments, CliContext& context) {
  if (arguments.empty()) {
    PrintOverview(context.err);
    return kExitUsage;
  }
  const std::string& first = arguments[0];
  const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
  if (first == "--help" || first == "-h") {
    PrintOverview(context.out);
    return kExitOk;
  }
  if (first == "--version") {
    context.out << kVersionText;
    return kExitOk;
  }
  if (first == "help") {
    return RunHelp(rest, context);
  }
  if (first.size() > 1 && first[0] == '-') {
    context.err << "klxr-log-cli: unknown option '" << first << "'\n"
                << "Try 'klxr-log-cli --help'.\n";
    return kExitUsage;
  }
  const CliCommand* command = FindCommand(first);
  if (command == nullptr) {
    return ReportUnknownCommand(context.err, first);
  }
  if (AsksForHelp(rest)) {
    context.out << command->help << "\n" << kExitStatusHelp;
    return kExitOk;
  }
  return command->run(rest, context);
}

}  // namespace
}  // namespace klxr::cli

int main(int argc, char** argv) {
  klxr::cli::UseBinaryStandardOutput();
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  klxr::cli::TerminalMessageBoxes boxes(std::cin, std::cerr);
  klxr::cli::CliContext context{std::cout, std::cerr, boxes};
  const int status = klxr::cli::Run(arguments, context);
  std::cout.flush();
  return status;
}
