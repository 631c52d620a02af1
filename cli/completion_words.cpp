#include "cli/completion_words.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "archive/archive_location.h"
#include "archive/survey_archive.h"
#include "cli/exit_status.h"

namespace klxr::cli {
namespace {

constexpr std::string_view kToolName = "klxr-log-cli";

// The usage lines of a help text: its first paragraph, "Usage:" and the continuation lines.
std::vector<std::string> UsageLines(std::string_view help) {
  std::vector<std::string> lines;
  std::istringstream stream{std::string(help)};
  for (std::string line; std::getline(stream, line) && !line.empty();) {
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream stream(line);
  for (std::string word; stream >> word;) {
    words.push_back(word);
  }
  return words;
}

// "[--format" -> "--format", "text|json]" -> "text|json".
std::string Bare(std::string word) {
  std::erase_if(word, [](char c) { return c == '[' || c == ']'; });
  return word;
}

bool IsPlainWord(std::string_view word) {
  return !word.empty() && std::all_of(word.begin(), word.end(),
                                      [](char c) { return (c >= 'a' && c <= 'z') || c == '-'; });
}

bool IsOption(std::string_view word) {
  return word.size() > 2 && word.starts_with("--");
}

// The words of a usage line after the tool's name and the command's; the line of a continued
// usage (no tool name) as a whole.
std::vector<std::string> UsageWords(const std::string& line) {
  std::vector<std::string> words = Words(line);
  const auto tool = std::find(words.begin(), words.end(), kToolName);
  if (tool == words.end()) {
    return words;
  }
  return {tool + std::min<std::ptrdiff_t>(2, words.end() - tool), words.end()};
}

// The words of the usage lines after "COMMAND SUBCOMMAND" (a continuation line counts with the
// line it continues); with no subcommand, every usage line's words.
std::vector<std::vector<std::string>> UsageTails(std::string_view help,
                                                 std::string_view subcommand) {
  std::vector<std::vector<std::string>> tails;
  bool current = false;
  for (const std::string& line : UsageLines(help)) {
    std::vector<std::string> words = UsageWords(line);
    if (line.find(kToolName) != std::string::npos) {
      current = subcommand.empty() || (!words.empty() && words.front() == subcommand);
      if (current && !subcommand.empty()) {
        words.erase(words.begin());
      }
    }
    if (current) {
      tails.push_back(words);
    }
  }
  return tails;
}

void AddOption(std::vector<CompletionOption>& options, CompletionOption option) {
  const auto known = std::find_if(options.begin(), options.end(),
                                  [&](const auto& other) { return other.name == option.name; });
  if (known == options.end()) {
    options.push_back(std::move(option));
  } else if (known->value.empty()) {
    known->value = option.value;
  }
}

// The options of a run of words: an option, then its value unless the option's bracket closed.
void AddOptions(const std::vector<std::string>& words, std::vector<CompletionOption>& options) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string name = Bare(words[i]);
    if (!IsOption(name)) {
      continue;
    }
    // A subcommand after an option ("--team show") is no value of it.
    const bool flag = words[i].ends_with(']') || i + 1 == words.size() ||
                      IsOption(Bare(words[i + 1])) || words[i + 1].starts_with('[') ||
                      IsPlainWord(words[i + 1]);
    AddOption(options, {name, flag ? "" : Bare(words[i + 1])});
  }
}

void PrintLines(const std::vector<std::string>& lines, CliContext& context) {
  for (const std::string& line : lines) {
    context.out << line << '\n';
  }
}

// The ids of the archive's surveys, newest first. An archive that does not exist is not created.
void PrintSurveyIds(CliContext& context) {
  const std::string file = archive::ArchiveFile();
  std::error_code error;
  if (!archive::ArchiveAvailable() || !std::filesystem::is_regular_file(file, error)) {
    return;
  }
  auto opened = archive::SurveyArchive::Open(file);
  if (!opened) {
    return;
  }
  const auto surveys = opened.Value()->List();
  if (!surveys) {
    return;
  }
  for (const archive::SurveySummary& survey : surveys.Value()) {
    context.out << survey.id << '\n';
  }
}

}  // namespace

std::vector<CompletionOption> HelpOptions(std::string_view help, std::string_view subcommand) {
  std::vector<CompletionOption> options;
  for (const std::vector<std::string>& words : UsageTails(help, subcommand)) {
    AddOptions(words, options);
  }
  if (!subcommand.empty()) {
    return options;
  }
  // The option lists: "  --out LOG.tlg      explanation".
  std::istringstream stream{std::string(help)};
  for (std::string line; std::getline(stream, line);) {
    if (line.starts_with("  --")) {
      // The term ends where two blanks part it from its explanation.
      const std::vector<std::string> term = Words(line.substr(0, line.find("  ", 2)));
      AddOption(options, {term[0], term.size() > 1 ? term[1] : ""});
    }
  }
  return options;
}

std::vector<std::string> HelpSubcommands(std::string_view help, std::string_view subcommand) {
  std::vector<std::string> names;
  for (const std::string& line : UsageLines(help)) {
    const std::vector<std::string> words = UsageWords(line);
    if (line.find(kToolName) == std::string::npos || words.empty()) {
      continue;
    }
    std::size_t at = 0;
    if (!subcommand.empty()) {
      if (words.front() != subcommand) {
        continue;
      }
      at = 1;
    }
    if (at < words.size() && IsPlainWord(words[at]) && !IsOption(words[at]) &&
        std::find(names.begin(), names.end(), words[at]) == names.end()) {
      names.push_back(words[at]);
    }
  }
  return names;
}

int RunCompletion(const std::vector<std::string>& arguments, std::span<const CliCommand> commands,
                  CliContext& context) {
  const std::string kind = arguments.empty() ? "" : arguments[0];
  const auto command = std::find_if(commands.begin(), commands.end(), [&](const CliCommand& c) {
    return arguments.size() > 1 && c.name == arguments[1];
  });
  const std::string sub = arguments.size() > 2 ? arguments[2] : "";
  if (kind == "commands") {
    for (const CliCommand& each : commands) {
      context.out << each.name << '\n';
    }
    context.out << "help\n";
  } else if (kind == "options" && arguments.size() == 1) {
    PrintLines({"--help", "--version", "--demo"}, context);
  } else if (kind == "options" && command != commands.end()) {
    for (const CompletionOption& option : HelpOptions(command->help, sub)) {
      context.out << option.name << '\t' << option.value << '\n';
    }
  } else if (kind == "subcommands" && command != commands.end()) {
    PrintLines(HelpSubcommands(command->help, sub), context);
  } else if (kind == "ids") {
    PrintSurveyIds(context);
  }
  return kExitOk;
}

}  // namespace klxr::cli
