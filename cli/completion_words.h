// The words a shell completes for klxr-log-cli, taken from the tool's own command table and help
// texts so that the completion scripts never drift from the tool: the hidden command
// "klxr-log-cli --complete KIND [COMMAND [SUBCOMMAND]]" prints them, one a line.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_command.h"

namespace klxr::cli {

// The options a command's help names, each with the value it takes as its usage line spells it
// ("--out" "LOG.tlg", "--format" "text|json"); an empty value for a flag.
struct CompletionOption {
  std::string name;
  std::string value;
  bool operator==(const CompletionOption&) const = default;
};

// The options named in the help text, in the order they first appear. With a subcommand, only
// those of the usage lines of that subcommand (the help's option list is not looked at then).
std::vector<CompletionOption> HelpOptions(std::string_view help, std::string_view subcommand = {});

// The subcommands of the usage lines: the first plain word after "klxr-log-cli COMMAND", or,
// with a subcommand given, the plain word after "klxr-log-cli COMMAND SUBCOMMAND".
std::vector<std::string> HelpSubcommands(std::string_view help, std::string_view subcommand = {});

// Runs "--complete": commands, options COMMAND [SUB], subcommands COMMAND [SUB], ids. Prints
// nothing and answers 0 for what it does not know, so that a completion never shows an error.
int RunCompletion(const std::vector<std::string>& arguments, std::span<const CliCommand> commands,
                  CliContext& context);

}  // namespace klxr::cli
