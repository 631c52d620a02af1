// The parts of klxr-log-cli's overview help that its manual page also shows as sections of their
// own (help_to_man.py makes each "Heading:" list a section), and the help of "help" itself.
#pragma once

#include <string_view>

namespace klxr::cli {

inline constexpr std::string_view kExamplesHelp =
    "Examples:\n"
    "  klxr-log-cli read --out site.tlg          read the meter's log and save it as site.tlg\n"
    "  klxr-log-cli show site.tlg                print its records, one line each\n"
    "  klxr-log-cli export site.tlg site.csv     export them as the program's CSV\n"
    "  klxr-log-cli export --format tidy-csv site.tlg data.csv  the same for pandas, R or a\n"
    "                                            spreadsheet\n"
    "  klxr-log-cli compare before.tlg site.tlg  what got better or worse since the last visit\n"
    "  klxr-log-cli report site.tlg site.pdf     a PDF report of the log for the customer\n"
    "  klxr-log-cli history                      the surveys kept in the archive, newest first\n"
    "  klxr-log-cli history channel CH26         one channel's records across every survey\n"
    "  klxr-log-cli list --long                  the meters attached, with their serial numbers\n"
    "  klxr-log-cli erase --yes                  erase the meter's log once it is saved\n";

inline constexpr std::string_view kEnvironmentHelp =
    "Environment:\n"
    "  KLXR_D2XX_LIBRARY   the driver library file to load instead of the usual ones (see\n"
    "                      above), such as the virtual meter\n"
    "  KLXR_ARCHIVE        the survey archive file instead of the user's (see FILES)\n"
    "  KLXR_TEAM_ARCHIVE   the libpq connection string of the team archive (see \"history\")\n"
    "  KLXR_VM_*           the virtual meter (loaded through KLXR_D2XX_LIBRARY): KLXR_VM_LOG its\n"
    "                      log, KLXR_VM_RECORDS, KLXR_VM_DEVICES its adapters, KLXR_VM_VERSION,\n"
    "                      KLXR_VM_CLOCK, KLXR_VM_TRANSCRIPT a copy of every byte,\n"
    "                      KLXR_VM_SCENARIO faults to play\n"
    "  XDG_DATA_HOME       the folder of the user's data (default ~/.local/share)\n";

inline constexpr std::string_view kFilesHelp =
    "Files:\n"
    "  ~/.local/share/klxr-log/surveys.sqlite\n"
    "                      the survey archive: every log read, by this tool and the desktop\n"
    "                      program\n"
    "  ~/.local/share/klxr-log/demo-surveys.sqlite\n"
    "                      the reads of --demo, kept apart from real surveys\n"
    "  ~/.config/klxr-log/settings.ini\n"
    "                      the desktop program's settings, such as the folders it last used\n"
    "                      (in $XDG_CONFIG_HOME when set; KLXR_SETTINGS_FILE names another)\n";

inline constexpr std::string_view kHelpHelp =
    "Usage: klxr-log-cli help [COMMAND [SUBCOMMAND]]\n"
    "\n"
    "Explains COMMAND: its usage, its options and its exit status; without one, the tool and\n"
    "its commands. \"help history show\" explains history with its subcommands. The same text\n"
    "is shown by \"klxr-log-cli COMMAND --help\". An unknown command is a usage error (exit\n"
    "status 2).\n";

}  // namespace klxr::cli
