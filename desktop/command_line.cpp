#include "desktop/command_line.h"

namespace klxr {

std::string CommandLineText(int argc, const char* const* argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) {
      text += ' ';
    }
    text += argv[i];
  }
  return text;
}

bool ScanQuietMode(std::string_view commandLine) {
  return ScanCommandLineSwitches(commandLine).quiet;
}

CommandLineSwitches ScanCommandLineSwitches(std::string_view commandLine) {
  CommandLineSwitches switches;
  std::size_t position = 0;
  while (position < commandLine.size()) {
    if (commandLine[position] != '+') {
      ++position;
      continue;
    }
    if (position + 1 >= commandLine.size()) {
      break;
    }
    if (commandLine[position + 1] == 'Q') {
      switches.quiet = true;
    } else if (commandLine[position + 1] == 'P') {
      switches.paced = true;
    }
    position += 2;
  }
  return switches;
}

std::optional<std::string> LogFileArgument(const std::vector<std::string>& arguments) {
  bool optionsEnded = false;
  for (const std::string& argument : arguments) {
    if (argument.empty()) {
      continue;
    }
    if (optionsEnded) {
      return argument;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    if (argument.front() != '-' && argument.front() != '+') {
      return argument;
    }
  }
  return std::nullopt;
}

}  // namespace klxr
