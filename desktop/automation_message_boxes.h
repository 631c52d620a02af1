// The message boxes of an automated run: every box is reported on the script's output, and
// answered from the answers the script has queued. A box for which no answer waits is shown as
// usual and waits for the user (or for the script's next "answer").
//
// Each box is reported as one line when it is done:
//   box KIND INDEX "TEXT" -> ANSWER
//   box KIND INDEX "TEXT" detail "DETAIL" -> ANSWER
// KIND is error, information, question or plain; INDEX is -1 for a text of the program's own; a
// line break in TEXT or DETAIL is written as \n; ANSWER is ok, yes, no or cancel. The second form
// is a box with a detail.
#pragma once

#include <deque>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "desktop/automation_script.h"
#include "resources/message_catalogue.h"

namespace klxr {

// The one line that reports a box.
std::string BoxReport(BoxKind kind, int index, std::string_view text, std::string_view answer,
                      std::string_view detail = {});

class AutomationMessageBoxes : public MessageBoxes {
 public:
  // shown: the boxes shown when no answer waits; report: where each box is reported.
  AutomationMessageBoxes(MessageBoxes& shown, std::ostream& report);

  void Show(int index, std::string_view text, BoxKind kind) override;
  Answer Ask(int index, std::string_view text) override;
  void ShowDetailed(int index, std::string_view text, BoxKind kind,
                    std::string_view detail) override;
  Answer AskDefaultNo(int index, std::string_view text) override;

  // Queues an answer for the next box.
  void QueueAnswer(ScriptedAnswer answer) { answers_.push_back(answer); }
  // Whether a box is being shown to the user now.
  bool ShowingBox() const { return showing_ > 0; }

 private:
  MessageBoxes& shown_;
  std::ostream& report_;
  // Takes the next queued answer for a box, if one waits; "ok" stands for the default button.
  std::optional<Answer> TakeQueuedAnswer(Answer defaultButton);
  // The queued answer (Ok pressing defaultButton), or the answer of the box that showBox shows to
  // the user while it counts as showing.
  template <typename ShowBox>
  Answer AnswerOrShow(Answer defaultButton, ShowBox showBox);

  std::deque<ScriptedAnswer> answers_;
  int showing_ = 0;
};

}  // namespace klxr
