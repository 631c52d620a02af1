#include "desktop/automation_script.h"

#include <array>
#include <charconv>
#include <optional>

namespace klxr {
namespace {

enum class Operand { None, Number, Text, AnswerWord };

struct Keyword {
  std::string_view word;
  AutomationAction action;
  Operand operand;
};

constexpr Keyword kKeywords[] = {
    {"command", AutomationAction::Command, Operand::Number},
    {"answer", AutomationAction::Answer, Operand::AnswerWord},
    {"choose", AutomationAction::Choose, Operand::Text},
    {"cancel", AutomationAction::Cancel, Operand::None},
    {"click", AutomationAction::Click, Operand::Number},
    {"wait-idle", AutomationAction::WaitIdle, Operand::None},
    {"wait-modal", AutomationAction::WaitModal, Operand::None},
    {"wait-progress", AutomationAction::WaitProgress, Operand::Number},
    {"wait-file", AutomationAction::WaitFile, Operand::Text},
    {"freeze-until", AutomationAction::FreezeUntil, Operand::Text},
    {"sleep", AutomationAction::Sleep, Operand::Number},
    {"timeout", AutomationAction::Timeout, Operand::Number},
    {"print", AutomationAction::Print, Operand::Text},
    {"screenshot", AutomationAction::Screenshot, Operand::Text},
    {"quit", AutomationAction::Quit, Operand::None},
};

constexpr std::array<std::string_view, 4> kAnswerWords{"ok", "yes", "no", "cancel"};

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && blank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

std::optional<int> ParseNumber(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) {
    return std::nullopt;
  }
  return value;
}

// Fills the step's operand; the reason when the operand does not fit the keyword.
std::string TakeOperand(const Keyword& keyword, std::string_view operand, AutomationStep& step) {
  switch (keyword.operand) {
    case Operand::None:
      return operand.empty() ? "" : "takes nothing after it";
    case Operand::Number: {
      const std::optional<int> number = ParseNumber(operand);
      if (!number) {
        return "needs a number";
      }
      step.number = *number;
      return "";
    }
    case Operand::Text:
      if (operand.empty() && keyword.action != AutomationAction::Print) {
        return "needs a path";
      }
      step.text = std::string(operand);
      return "";
    case Operand::AnswerWord:
      for (std::size_t i = 0; i < kAnswerWords.size(); ++i) {
        if (operand == kAnswerWords[i]) {
          step.answer = static_cast<ScriptedAnswer>(i);
          return "";
        }
      }
      return "needs yes, no, cancel or ok";
  }
  return "";
}

}  // namespace

std::string_view AnswerWord(ScriptedAnswer answer) {
  return kAnswerWords[static_cast<std::size_t>(answer)];
}

AutomationScript ParseAutomationScript(std::string_view text) {
  AutomationScript script;
  int lineNumber = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNumber;
    if (line.empty() || line.front() == '#') {
      continue;
    }
    const std::size_t blank = line.find_first_of(" \t");
    const std::string_view word = line.substr(0, blank);
    const std::string_view operand =
        blank == std::string_view::npos ? std::string_view() : Trim(line.substr(blank));
    const Keyword* keyword = nullptr;
    for (const Keyword& candidate : kKeywords) {
      if (candidate.word == word) {
        keyword = &candidate;
      }
    }
    const std::string where = "line " + std::to_string(lineNumber) + ": ";
    if (keyword == nullptr) {
      script.errors.push_back(where + "unknown step '" + std::string(word) + "'");
      continue;
    }
    AutomationStep step;
    step.action = keyword->action;
    step.line = lineNumber;
    const std::string problem = TakeOperand(*keyword, operand, step);
    if (!problem.empty()) {
      script.errors.push_back(where + std::string(word) + " " + problem);
      continue;
    }
    script.steps.push_back(step);
  }
  return script;
}

}  // namespace klxr
