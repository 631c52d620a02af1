#include "ui/automation_message_boxes.h"

namespace klxr {
namespace {

std::string_view KindWord(BoxKind kind) {
  switch (kind) {
    case BoxKind::Error:
      return "error";
    case BoxKind::Information:
      return "information";
    case BoxKind::Question:
      return "question";
    case BoxKind::Plain:
      return "plain";
  }
  return "plain";
}

std::string_view AnswerWordOf(Answer answer) {
  switch (answer) {
    case Answer::Yes:
      return "yes";
    case Answer::No:
      return "no";
    case Answer::Cancel:
      return "cancel";
  }
  return "cancel";
}

Answer ToAnswer(ScriptedAnswer answer) {
  switch (answer) {
    case ScriptedAnswer::Ok:
    case ScriptedAnswer::Yes:
      return Answer::Yes;
    case ScriptedAnswer::No:
      return Answer::No;
    case ScriptedAnswer::Cancel:
      return Answer::Cancel;
  }
  return Answer::Cancel;
}

}  // namespace

std::string BoxReport(BoxKind kind, int index, std::string_view text, std::string_view answer) {
  std::string line = "box ";
  line += KindWord(kind);
  line += ' ';
  line += std::to_string(index);
  line += " \"";
  for (const char c : text) {
    if (c == '\n') {
      line += "\\n";
    } else if (c != '\r') {
      line += c;
    }
  }
  line += "\" -> ";
  line += answer;
  return line;
}

AutomationMessageBoxes::AutomationMessageBoxes(MessageBoxes& shown, std::ostream& report)
    : shown_(shown), report_(report) {}

void AutomationMessageBoxes::Show(int index, std::string_view text, BoxKind kind) {
  if (!answers_.empty()) {
    answers_.pop_front();
  } else {
    ++showing_;
    shown_.Show(index, text, kind);
    --showing_;
  }
  report_ << BoxReport(kind, index, text, "ok") << std::endl;
}

void AutomationMessageBoxes::ShowDetailed(int index, std::string_view text, BoxKind kind,
                                          std::string_view detail) {
  if (!answers_.empty()) {
    answers_.pop_front();
  } else {
    ++showing_;
    shown_.ShowDetailed(index, text, kind, detail);
    --showing_;
  }
  report_ << BoxReport(kind, index, text, "ok") << std::endl;
}

Answer AutomationMessageBoxes::Ask(int index, std::string_view text) {
  Answer answer = Answer::Cancel;
  if (!answers_.empty()) {
    answer = ToAnswer(answers_.front());
    answers_.pop_front();
  } else {
    ++showing_;
    answer = shown_.Ask(index, text);
    --showing_;
  }
  report_ << BoxReport(BoxKind::Question, index, text, AnswerWordOf(answer)) << std::endl;
  return answer;
}

}  // namespace klxr
