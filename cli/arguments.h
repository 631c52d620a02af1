// Strict parsing of a command's arguments: the options it knows, a fixed number of operands, and
// nothing else. "--" ends the options, so an operand may start with "-".
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace klxr::cli {

struct ParsedArguments {
  std::vector<std::string> operands;
  std::set<std::string> options;  // the known options given, e.g. "--dbuv"
  std::string error;              // empty when the command line is valid
};

// True when "--help" or "-h" stands among the options (before any "--").
bool AsksForHelp(const std::vector<std::string>& arguments);

// operandNames name the operands in order, for the messages ("LOG.tlg", "OUT.csv").
ParsedArguments ParseArguments(const std::vector<std::string>& arguments,
                               const std::vector<std::string_view>& knownOptions,
                               const std::vector<std::string_view>& operandNames);

}  // namespace klxr::cli
