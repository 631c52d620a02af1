#include "cli/arguments.h"

#include <algorithm>

namespace klxr::cli {

bool AsksForHelp(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == "--") {
      return false;
    }
    if (argument == "--help" || argument == "-h") {
      return true;
    }
  }
  return false;
}

ParsedArguments ParseArguments(const std::vector<std::string>& arguments,
                               const std::vector<std::string_view>& knownOptions,
                               const std::vector<std::string_view>& operandNames) {
  ParsedArguments parsed;
  bool optionsEnded = false;
  for (const std::string& argument : arguments) {
    const bool looksLikeOption = argument.size() > 1 && argument[0] == '-';
    if (optionsEnded || !looksLikeOption) {
      parsed.operands.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (std::find(knownOptions.begin(), knownOptions.end(), argument) !=
               knownOptions.end()) {
      parsed.options.insert(argument);
    } else {
      parsed.error = "unknown option '" + argument + "'";
      return parsed;
    }
  }
  if (parsed.operands.size() < operandNames.size()) {
    parsed.error = "missing " + std::string(operandNames[parsed.operands.size()]);
  } else if (parsed.operands.size() > operandNames.size()) {
    parsed.error = "unexpected argument '" + parsed.operands[operandNames.size()] + "'";
  }
  return parsed;
}

}  // namespace klxr::cli
