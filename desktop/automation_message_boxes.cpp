#include "desktop/automation_message_boxes.h"

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

// "ok" presses the box's default button.
Answer ToAnswer(ScriptedAnswer answer, Answer defaultButton) {
  switch (answer) {
    case ScriptedAnswer::Ok:
      return defaultButton;
    case ScriptedAnswer::Yes:
      return Answer::Yes;
    case ScriptedAnswer::No:
      return Answer::No;
    case ScriptedAnswer::Cancel:
      return Answer::Cancel;
  }
  return Answer::Cancel;
}

// Appends the text in quotes, a line break written as \n.
void AppendQuoted(std::string& line, std::string_view text) {
  line += '"';
  for (const char c : text) {
    if (c == '\n') {
      line += "\\n";
    } else if (c != '\r') {
      line += c;
    }
  }
  line += '"';
}

}  // namespace

std::string BoxReport(BoxKind kind, int index, std::string_view text, std::string_view answer,
                      std::string_view detail) {
  std::string line = "box ";
  line += KindWord(kind);
  line += ' ';
  line += std::to_string(index);
  line += ' ';
  AppendQuoted(line, text);
  if (!detail.empty()) {
    line += " detail ";
    AppendQuoted(line, detail);
  }
  line += " -> ";
  line += answer;
  return line;
}

AutomationMessageBoxes::AutomationMessageBoxes(MessageBoxes& shown, std::ostream& report)
    : shown_(shown), report_(report) {}

std::optional<Answer> AutomationMessageBoxes::TakeQueuedAnswer(Answer defaultButton) {
  if (answers_.empty()) {
    return std::nullopt;
  }
  const Answer answer = ToAnswer(answers_.front(), defaultButton);
  answers_.pop_front();
  return answer;
}

template <typename ShowBox>
Answer AutomationMessageBoxes::AnswerOrShow(Answer defaultButton, ShowBox showBox) {
  if (const std::optional<Answer> answer = TakeQueuedAnswer(defaultButton)) {
    return *answer;
  }
  ++showing_;
  const Answer answer = showBox();
  --showing_;
  return answer;
}

void AutomationMessageBoxes::Show(int index, std::string_view text, BoxKind kind) {
  AnswerOrShow(Answer::Yes, [&] {
    shown_.Show(index, text, kind);
    return Answer::Yes;
  });
  report_ << BoxReport(kind, index, text, "ok") << std::endl;
}

void AutomationMessageBoxes::ShowDetailed(int index, std::string_view text, BoxKind kind,
                                          std::string_view detail) {
  AnswerOrShow(Answer::Yes, [&] {
    shown_.ShowDetailed(index, text, kind, detail);
    return Answer::Yes;
  });
  report_ << BoxReport(kind, index, text, "ok", detail) << std::endl;
}

Answer AutomationMessageBoxes::Ask(int index, std::string_view text) {
  const Answer answer = AnswerOrShow(Answer::Yes, [&] { return shown_.Ask(index, text); });
  report_ << BoxReport(BoxKind::Question, index, text, AnswerWordOf(answer)) << std::endl;
  return answer;
}

Answer AutomationMessageBoxes::AskDefaultNo(int index, std::string_view text) {
  const Answer answer = AnswerOrShow(Answer::No, [&] { return shown_.AskDefaultNo(index, text); });
  report_ << BoxReport(BoxKind::Question, index, text, AnswerWordOf(answer)) << std::endl;
  return answer;
}

}  // namespace klxr
