// The help of klxr-log-cli history, which its manual page is also made from.
#pragma once

#include <string_view>

namespace klxr::cli {

inline constexpr std::string_view kHistoryHelp =
    "Usage: klxr-log-cli history [--format text|json]\n"
    "       klxr-log-cli history show ID [--format text|json]\n"
    "       klxr-log-cli history export ID [--format tlg|csv|tidy-csv|json] OUT\n"
    "       klxr-log-cli history label ID SITE [--note TEXT]\n"
    "       klxr-log-cli history import FILE.tlg... [--site S]\n"
    "       klxr-log-cli history forget ID\n"
    "       klxr-log-cli history channel NAME|FREQ [--format text|json]\n"
    "\n"
    "The survey archive keeps every log read from a meter (by \"read\" and by the desktop\n"
    "program): its image, its SHA-256, when it was first read (UTC, with the computer's offset\n"
    "from UTC), the USB lead's serial number, the record count, whether the read was complete,\n"
    "and a site and a note. The same log read again is one survey seen twice. The archive is\n"
    "the file KLXR_ARCHIVE names, else $XDG_DATA_HOME/klxr-log/surveys.sqlite\n"
    "(~/.local/share/klxr-log/surveys.sqlite).\n"
    "\n"
    "ID is a survey's number, which never changes, or at least four hexadecimal digits from\n"
    "the start of its hash; digits alone are a number when a survey has that number.\n"
    "\n"
    "Commands:\n"
    "  (none)    list the surveys newest first, one tab-separated line each after a header:\n"
    "            id, read (UTC), meter (the lead's serial number when the meter's version is\n"
    "            not known), site, records, complete or incomplete\n"
    "  show      the survey's facts, every time it was seen, and its records as \"show\"\n"
    "            prints them\n"
    "  export    write the survey to OUT (\"-\": standard output) as the .tlg file it was\n"
    "            (the default), as the program's CSV, byte for byte as \"export\", or as data\n"
    "            for analysis (see \"export\")\n"
    "  label     set the survey's site, and its note with --note\n"
    "  import    keep .tlg files as surveys, dated by each file's modification time, with\n"
    "            the site --site gives; prints the id of each, and whether it was new or known\n"
    "  forget    remove the survey with its records from the archive\n"
    "  channel   that channel's records in every survey, oldest first: by channel name (case\n"
    "            ignored) or frequency (\"482\", \"482.25MHz\", \"482250kHz\"; a bare number\n"
    "            below 10000 is MHz, and also a channel name)\n"
    "\n"
    "  --format json   the listing, the survey or the channel's history as JSON (UTF-8)\n";

inline constexpr std::string_view kHistoryExitStatus =
    "Exit status 0 on success; 1 when the archive cannot be opened or written (why is on\n"
    "standard error), for an ID that names no survey or more than one, and when a file to\n"
    "import is no log; 2 for a usage error. A build without SQLite has no archive and says so.\n";

}  // namespace klxr::cli
