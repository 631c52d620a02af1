// klxr-log-cli: the command-line companion of the meter log program. One table lists the commands;
// each command lives in its own file (command_*.cpp).
#include <algorithm>
#include <array>
#include <cerrno>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_location.h"
#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/completion_words.h"
#include "cli/exit_status.h"
#include "cli/file_operands.h"
#include "cli/history_commands.h"
#include "cli/history_help.h"
#include "cli/terminal_message_boxes.h"
#include "cli/terminal_text.h"
#include "cli/tool_help.h"
#include "link/demo_setup.h"
#include "link/driver_messages.h"
#include "platform/console.h"
#include "platform/termination_signals.h"

namespace klxr::cli {
namespace {

// The widest line of the help texts.
constexpr std::size_t kHelpWidth = 92;

constexpr std::string_view kShowHelp =
    "Usage: klxr-log-cli show LOG.tlg [--dbuv] [--header]\n"
    "\n"
    "Prints the records of the log file LOG.tlg on standard output, one line per record, exactly\n"
    "as the log viewer lists them: tab-separated fields (sequence, frequency, channel,\n"
    "specification, multiplex, status, quality, video and audio power, mode, PLP mode, digital\n"
    "power, MER or C/N, BER). The log's names are 8-bit Latin-1 text: on a terminal whose locale\n"
    "is UTF-8 they are shown as UTF-8; to a file, a pipe or another terminal they are written as\n"
    "the log's raw bytes.\n"
    "\n"
    "  --dbuv     power levels in dBuV instead of dBm\n"
    "  --header   first a line of the viewer's column headings, tab-separated as the fields are\n"
    "\n"
    "LOG.tlg \"-\" reads the log from standard input (a file named \"-\" is \"./-\"). Only a\n"
    "regular file is read: a FIFO, socket, device or folder is refused at once (\"Invalid binary\n"
    "file\").\n"
    "\n"
    "A log without records reports \"No logging data present\" (exit status 1). When standard\n"
    "output cannot be written, the reason is reported (exit status 1).\n";

constexpr std::string_view kExportHelp =
    "Usage: klxr-log-cli export [--format csv|tidy-csv|json] [--site S] LOG.tlg OUT\n"
    "\n"
    "Writes the records of the log file LOG.tlg to OUT. The default, csv, is byte for byte the\n"
    "program's \"Export (.csv)\": a header line and one line of 17 quoted fields per record,\n"
    "levels in both dBm and dBuV, CR LF line ends, the names as the log's 8-bit bytes.\n"
    "\n"
    "  --format F   csv (the default), tidy-csv or json\n"
    "  --site S     the site measured, for the site column of tidy-csv and json\n"
    "\n"
    "tidy-csv is made for analysis (spreadsheets, pandas, R): UTF-8, a header row, one row per\n"
    "record, RFC 4180 quoting where a field needs it, LF line ends. Numbers are plain numbers "
    "with\n"
    "a dot as the decimal mark, the unit in the column name: survey_id, read_time (ISO 8601 UTC:\n"
    "the modification time of LOG.tlg), site, slot, kind (A, D or V), sequence, sub_sequence,\n"
    "frequency_mhz, channel, standard, multiplex, status, quality (0 to 7), modulation,\n"
    "level_dbuv, audio_level_dbuv, cn_db, mer_db, each with _over and _under columns (1 when the\n"
    "meter marked the value out of range: the true value lies beyond the number), and ber. A cell\n"
    "is empty where a field does not apply to the record's kind or the meter gave no value.\n"
    "json holds the same: an object with survey_id, read_time, site, record_count and "
    "\"records\",\n"
    "an array of objects with the names above, null where a field does not apply.\n"
    "\n"
    "An existing OUT is replaced only when the whole file was written; on any failure it is left\n"
    "as it was. It keeps its permissions and owner. A file with other hard links is written in\n"
    "place, after the space for the new contents is reserved: a full disk leaves it as it was,\n"
    "while a failing disk in the middle of the write may leave it part new, part old. A link is\n"
    "followed to the file it names; a device or FIFO is written into, not replaced; a read-only\n"
    "file is refused (\"Can't save program image\"). Only a regular file is read as LOG.tlg.\n"
    "\n"
    "\"-\" as LOG.tlg reads the log from standard input, as OUT writes to standard output (a\n"
    "file named \"-\" is \"./-\"). OUT must not be the same file as LOG.tlg, after links are\n"
    "followed, also when both are \"-\" and standard output is the file standard input comes\n"
    "from (exit status 2).\n"
    "\n"
    "A log without records reports \"No logging data present\" and writes nothing (exit status "
    "1).\n";

constexpr std::string_view kCompareHelp =
    "Usage: klxr-log-cli compare A B [--threshold DB] [--ber-decades N]\n"
    "                            [--format text|csv|json]\n"
    "\n"
    "Compares two surveys of a site: A, the log read before, and B, the log read after, each a\n"
    "log file (.tlg; \"-\" for standard input, for one of them). Channels are paired by\n"
    "frequency, then the rest by channel name; for each pair the level (dBuV), C/N or MER (dB)\n"
    "and BER before and after, with the change (after minus before: dB for levels and ratios,\n"
    "decades for the BER, where a BER of 0 counts as 1e-8), and the status before and after. A\n"
    "channel found in one survey only is listed as such. A pair is worse when its level, C/N or\n"
    "MER fell by more than the threshold, its BER rose by more than the decades given, or its\n"
    "status fell (FAIL, POOR, MARGINAL, PASS); better when nothing got worse and something rose\n"
    "by more than that; else unchanged. A value that the meter marked out of range is compared by\n"
    "its number. A summary line counts the pairs better, worse and unchanged, and the channels in\n"
    "one survey only.\n"
    "\n"
    "  --threshold DB    the change in dB that counts for levels, C/N and MER (default 1)\n"
    "  --ber-decades N   the change of the BER in decades that counts (default 1: a factor 10)\n"
    "  --format F        text (the default: a table of at most 80 columns, marked + better,\n"
    "                    - worse, < only in A, > only in B; the BER change is in csv and json\n"
    "                    only), csv (UTF-8, a header row, LF line ends) or json\n"
    "\n"
    "Everything is written as UTF-8 on standard output.\n";

constexpr std::string_view kCompareExitStatus =
    "Exit status 0 when nothing got worse beyond the thresholds; 1 when some channel got worse (a\n"
    "channel found in one survey only does not count); 2 for a usage error, an operand that names\n"
    "no log (\"no such file\"), a file that holds no log (\"Invalid binary file\", \"Error -\n"
    "Invalid data file\"), or standard output that cannot be written.\n";

constexpr std::string_view kReadHelp =
    "Usage: klxr-log-cli read [--out LOG.tlg] [--csv OUT.csv] [--device N|SERIAL] [--progress]\n"
    "                         [--paced] [--force] [--no-archive]\n"
    "\n"
    "Reads the whole measurement log from the meter on the first USB device, as the program's\n"
    "\"Read\" command does: the adapter's settings are checked (and re-programmed when they\n"
    "differ), then the records are fetched one by one, out of the 1568 a log can hold. When\n"
    "standard error is a terminal, one line there counts them, with their rate and the time left\n"
    "at most; on a pipe or a file nothing is shown. \"Transfer Complete!\" ends a complete\n"
    "transfer, followed by a line with the records read and the seconds taken.\n"
    "\n"
    "  --out LOG.tlg      save the log as a .tlg file, as \"Save\" does\n"
    "  --csv OUT.csv      export the records as a CSV file, as \"export\" does\n"
    "  --device N|SERIAL  the meter on the USB device with the driver's index N (from 0), or on\n"
    "                     the adapter with that serial number (see \"list --long\")\n"
    "  --progress         plain progress lines on standard error, one per tenth of 1568 records,\n"
    "                     also on a pipe or a file\n"
    "  --paced            wait for each reply as long as a read may wait (paced transfer, about\n"
    "                     five minutes for a full log) instead of taking it the moment it is in\n"
    "  --force            let a log without records replace a LOG.tlg that holds records\n"
    "  --no-archive       do not keep the log in the survey archive\n"
    "\n"
    "Before anything is written, the log read is kept in the survey archive (see \"history\"),\n"
    "also when the transfer failed part-way: then with the records that arrived, marked\n"
    "incomplete. One line on standard error tells the survey's id. When the archive cannot be\n"
    "opened or written, one line says why and the read goes on as without it.\n"
    "\n"
    "\"-\" as LOG.tlg or OUT.csv writes to standard output. Before the meter is asked anything,\n"
    "both files are checked: the same file for both, after links are followed (a dangling link\n"
    "names the file it would create), is a usage error (exit status 2); a file that cannot be\n"
    "written (no such folder, a folder, read-only, a FIFO that nobody reads) reports \"Can't\n"
    "save program image\" and then the file and the reason (exit status 1). A device or FIFO\n"
    "is held open from then until the log is written to it.\n"
    "\n"
    "When the meter's log holds no record and LOG.tlg is a log that holds records, it is left\n"
    "as it was and the tool says so (exit status 1), unless --force is given.\n"
    "\n"
    "With neither option the records are printed on standard output as \"show\" prints them\n"
    "(levels in dBm); a log without records prints nothing. A log without records exported with\n"
    "--csv reports \"No logging data present\" and writes no CSV file.\n"
    "\n"
    "Exit status 0 only when the transfer was complete and the log was delivered. A failed\n"
    "transfer reports the program's message: \"USB Port Error\" (followed by why: no lead on the\n"
    "device, the lead in use, or found but this user may not open it, and what to do),\n"
    "\"Error - Handshake not received\" (the meter's answer was missing or wrong), \"The device\n"
    "has been upgraded and is recycling. ...\" (the adapter was re-programmed: re-plug the lead\n"
    "and read again), \"You must install the USB driver first!\" (no driver library; the files\n"
    "tried and why come first). An unknown --device is an error (exit status 1).\n"
    "\n"
    "Ctrl-C (or SIGTERM) stops the transfer: the meter is told that the log ends, the port is\n"
    "closed, nothing is written, the records that had arrived are counted on standard error, and\n"
    "the exit status is 130.\n";

constexpr std::string_view kEraseHelp =
    "Usage: klxr-log-cli erase [--yes] [--device N|SERIAL] [--paced]\n"
    "\n"
    "Erases the measurement log stored in the meter on the first USB device, as the program's\n"
    "\"Erase Log\" command does. It first asks \"Please confirm that you wish to erase the meter\n"
    "log data?\" on standard error; only y or yes on standard input goes on. The meter takes a\n"
    "few seconds; \"Meter log data erased\" confirms. Log files on the computer are not touched.\n"
    "\n"
    "  --yes              erase without asking\n"
    "  --device N|SERIAL  the meter on the USB device with the driver's index N (from 0), or on\n"
    "                     the adapter with that serial number (see \"list --long\")\n"
    "  --paced            wait for each answer in whole reads (paced transfer)\n"
    "\n"
    "Exit status 0 only when the meter confirmed the erase; 1 when the question was not answered\n"
    "yes (nothing is sent), when the meter did not confirm, for an unknown --device, and on the\n"
    "program's messages \"Error - Handshake not received\", \"USB Port Error\" (followed by why),\n"
    "the re-plug message, or \"Warning, can't load USB driver\" (no driver library; followed by\n"
    "the files tried, why, and what to do).\n";

constexpr std::string_view kListHelp =
    "Usage: klxr-log-cli list [--long] [--paced]\n"
    "\n"
    "Asks every USB device for its version, as the program's \"Version\" device list does, and\n"
    "prints the version text of each meter that answers, one per line, sorted by text (case\n"
    "ignored), then \"Number of devices: N\". Devices in use by another program, devices whose\n"
    "adapter differs from the settings the meter link needs (see \"adapter\"; they are not\n"
    "re-programmed here) and devices that do not answer are skipped. A lead that this user may\n"
    "not open is listed as \"device N: (no permission)\", and standard error says how to let\n"
    "the user open it (the package's udev rule, or a group).\n"
    "\n"
    "  --long   one line for every USB device instead, in index order, its fields separated by\n"
    "           tabs: the index (for --device), the adapter's serial number and description\n"
    "           (\"-\" when it cannot be opened), and the meter's version text, or why it is not\n"
    "           listed: \"(in use)\", \"(no permission)\", \"(not a meter lead)\" (the adapter\n"
    "           differs), \"(silent)\"; then \"Number of devices: N\"\n"
    "\n"
    "Exit status 0, also when no meter answers; 1 when no driver library can be loaded\n"
    "(\"Warning, can't load USB driver\", followed by the files tried, why, and what to do).\n";

constexpr std::string_view kAdapterHelp =
    "Usage: klxr-log-cli adapter [--fix] [--device N|SERIAL]\n"
    "\n"
    "Runs the adapter EEPROM check on the first USB device and prints each setting the meter\n"
    "link needs (PnP, SelfPowered, InvertDTR, InvertRXD, InvertTXD, Cbus4, Description) with the\n"
    "adapter's value, the value the link requires, and \"differs\" where they differ. The check\n"
    "corrects PnP 1, SelfPowered 1, InvertDTR 0, InvertRXD 1 and InvertTXD 1, any Cbus4 but 5\n"
    "(SLEEP), and any description but \"Quorvel KLXR\"; other values are left as they are.\n"
    "\n"
    "  --fix   re-program a differing adapter as the program's Read command would (every other\n"
    "          setting is written back unchanged) and make it re-enumerate; then re-plug the\n"
    "          lead, as the message says\n"
    "  --device N|SERIAL\n"
    "          the USB device with the driver's index N (from 0), or the adapter with that\n"
    "          serial number (see \"list --long\"), instead of the first\n"
    "\n"
    "Exit status 0 when the adapter has the settings, or was re-programmed with --fix; 1 when it\n"
    "differs and --fix was not given, for an unknown --device, when it cannot be opened\n"
    "(\"USB Port Error\", followed by why), read or programmed, or when no driver library can be\n"
    "loaded (\"Warning, can't load USB driver\", followed by the files tried and why).\n";

constexpr std::string_view kReportHelp =
    "Usage: klxr-log-cli report LOG.tlg OUT.pdf [--dbuv] [--title T] [--site S] [--installer I]\n"
    "                           [--letter] [--compare A]\n"
    "\n"
    "Writes a report of the log file LOG.tlg for the customer as the PDF document OUT.pdf\n"
    "(\"-\" for standard output): a header (title, site, installer, the date printed, the\n"
    "modification time of LOG.tlg, number of records, units), a summary of the records by kind\n"
    "and status, a chart of the level of every record coloured by its status, charts of the\n"
    "MER and the BER (on a logarithmic axis) of the digital records, the charts by frequency,\n"
    "and the full table of records as the log viewer lists them. It needs no display.\n"
    "With --compare, pages of what changed since the earlier survey A follow: the table of\n"
    "\"compare A LOG.tlg\" with its default thresholds, each channel's line coloured by whether\n"
    "it got better or worse.\n"
    "\n"
    "  --dbuv          power levels in dBuV instead of dBm\n"
    "  --title T       the report's title instead of \"Measurement log\"\n"
    "  --site S        a line naming the site measured\n"
    "  --installer I   a line naming the installer\n"
    "  --letter        US Letter paper instead of A4\n"
    "  --compare A     the earlier survey of the site: a .tlg file, or a survey of the archive\n"
    "                  by its id or a prefix of its hash\n"
    "\n"
    "A log without records still gives a report, which says so. An existing OUT.pdf is\n"
    "replaced only when the whole file was written; on any failure it is left as it was\n"
    "(\"Can't save program image\"); a file with other hard links is written in place as\n"
    "\"export\" says. OUT.pdf must not be the same file as LOG.tlg, also when both are \"-\"\n"
    "(exit status 2). A build without the report (-DKLXR_BUILD_REPORT=OFF) says so.\n";

constexpr std::array<CliCommand, 9> kCommands{{
    {"show", "print the records of a .tlg log, one tab-separated line each", kShowHelp, RunShow},
    {"export", "write the records of a .tlg log as CSV, or as data for analysis", kExportHelp,
     RunExport},
    {"compare", "compare two surveys channel by channel: what got better or worse", kCompareHelp,
     RunCompare, kCompareExitStatus},
    {"read", "read the whole log from the meter; save, export or print it", kReadHelp, RunRead},
    {"erase", "erase the log stored in the meter", kEraseHelp, RunErase},
    {"list", "list the meters attached by their version texts", kListHelp, RunList},
    {"adapter", "check the USB lead's adapter settings, and re-program them", kAdapterHelp,
     RunAdapter},
    {"report", "write a PDF report of a .tlg log with its charts", kReportHelp, RunReport},
    {"history", "the surveys kept in the archive and the team's: list, show, push, pull",
     kHistoryHelp, RunHistory, kHistoryExitStatus},
}};

constexpr std::string_view kVersionText = "klxr-log-cli " KLXR_VERSION "\n";

constexpr std::string_view kExitStatusHelp =
    "Exit status: 0 success; 1 failure (the program's message is on standard error, e.g.\n"
    "\"Error - Invalid data file\", \"Invalid binary file\", \"Can't save program image\",\n"
    "\"No logging data present\"); 2 usage error. compare answers 1 when something got worse\n"
    "and 2 on any trouble (see \"help compare\").\n";

// The text cut into lines of at most `width` characters at its spaces.
std::string WrapLines(std::string_view text, std::size_t width) {
  std::string wrapped;
  std::size_t lineLength = 0;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find(' '), text.size());
    const std::string_view word = text.substr(0, end);
    if (lineLength > 0 && lineLength + 1 + word.size() > width) {
      wrapped += '\n';
      lineLength = 0;
    } else if (lineLength > 0) {
      wrapped += ' ';
      ++lineLength;
    }
    wrapped += word;
    lineLength += word.size();
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return wrapped + "\n";
}

// Which driver library the meter commands use on this platform, and how they transfer.
std::string DriverHelp() {
  return WrapLines(
      "The commands read, erase, list and adapter reach the meters through a driver "
      "library. " +
          DriverSearchText() +
          " They transfer fast when the library has FT_GetQueueStatus, "
          "FT_SetLatencyTimer and FT_GetLatencyTimer, else paced (said once on "
          "standard error); --paced asks for paced transfer.",
      kHelpWidth);
}

const CliCommand* FindCommand(std::string_view name) {
  for (const CliCommand& command : kCommands) {
    if (command.name == name) {
      return &command;
    }
  }
  return nullptr;
}

bool HasSubcommand(const CliCommand& command, std::string_view name) {
  const std::vector<std::string> subcommands = HelpSubcommands(command.help);
  return std::find(subcommands.begin(), subcommands.end(), name) != subcommands.end();
}

void PrintCommandHelp(const CliCommand& command, std::ostream& out) {
  out << command.help << "\n"
      << (command.exitStatus.empty() ? kExitStatusHelp : command.exitStatus);
}

void PrintOverview(std::ostream& out) {
  out << "Usage: klxr-log-cli COMMAND [ARGUMENTS]\n"
         "       klxr-log-cli --demo COMMAND [ARGUMENTS]\n"
         "       klxr-log-cli help COMMAND | --help | --version\n"
         "\n"
         "Shows and exports the measurement log of the signal meter kept in .tlg files, and\n"
         "reads, erases and lists the meters attached by USB.\n"
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
         "  --demo    before the command: talk to the virtual meter holding the bundled sample\n"
         "            log instead of a meter, to try the commands without one; its reads are kept\n"
         "            in a survey archive of their own (demo-surveys.sqlite), not among real ones\n"
         "\n"
      << DriverHelp() << "\n"
      << "Run 'klxr-log-cli help COMMAND' or 'klxr-log-cli COMMAND --help' for the details.\n\n"
      << kExitStatusHelp << "\n"
      << kEnvironmentHelp << "\n"
      << kFilesHelp << "\n"
      << kExamplesHelp;
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
  const CliCommand* command = FindCommand(arguments[0]);
  if (command == nullptr && arguments[0] != "help") {
    return ReportUnknownCommand(context.err, arguments[0]);
  }
  // A subcommand is explained in its command's help: "help history show".
  const std::size_t words =
      arguments.size() > 1 && command != nullptr && HasSubcommand(*command, arguments[1]) ? 2 : 1;
  if (arguments.size() > words) {
    return ReportUsageError(context, "help", "unexpected argument '" + arguments[words] + "'");
  }
  if (command == nullptr) {
    context.out << kHelpHelp << "\n" << kExitStatusHelp;
  } else {
    PrintCommandHelp(*command, context.out);
  }
  return kExitOk;
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
  // Hidden: the words the shell completion scripts offer.
  if (first == "--complete") {
    return RunCompletion(rest, kCommands, context);
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
    PrintCommandHelp(*command, context.out);
    return kExitOk;
  }
  return command->run(rest, context);
}

}  // namespace
}  // namespace klxr::cli

int main(int argc, char** argv) {
  // A write past the file-size limit then fails with its error, is reported, and its temporary
  // file is removed, instead of the signal ending the tool half-way through.
  klxr::platform::IgnoreFileSizeLimitSignal();
  // The tool reads and writes the log's bytes unchanged: no line-end translation and no end of
  // file at a 0x1A byte on standard input or output. Messages on standard error end in LF alone,
  // as on every platform, so that scripts see the same bytes everywhere.
  klxr::platform::UseBinaryStandardStreams();
  std::vector<std::string> arguments(argv + 1, argv + argc);
  if (!arguments.empty() && arguments.front() == klxr::kDemoOption) {
    arguments.erase(arguments.begin());
    const std::string problem = klxr::EnterDemoMode(argv[0]);
    if (!problem.empty()) {
      std::cerr << "klxr-log-cli: --demo: " << problem << "\n";
      return klxr::cli::kExitFailure;
    }
    klxr::archive::UseDemoArchive();
  }
  klxr::cli::TerminalMessageBoxes boxes(std::cin, std::cerr);
  klxr::cli::CliContext context{std::cout, std::cerr, boxes};
  context.outIsUtf8Terminal =
      klxr::cli::IsUtf8Codeset(klxr::platform::StandardOutputTerminalCodeset());
  // "compare" also takes the ids and hash prefixes of the survey archive.
  context.surveyLookups.push_back(klxr::cli::ArchiveSurveyLookup());
  const int status = klxr::cli::Run(arguments, context);
  // Whatever printed to standard output (a listing, the help, the version), a full disk or a
  // closed pipe is a failure the user is told of, not a success. Output longer than the stream's
  // buffer failed already while it was written: the reason is that write's.
  const int earlier = !std::cout ? errno : 0;
  errno = 0;
  std::cout.flush();
  if (!std::cout && status == klxr::cli::kExitOk) {
    return klxr::cli::ReportOutputFailure(context, earlier != 0 ? earlier : errno);
  }
  return status;
}
