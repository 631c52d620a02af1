// The message boxes of an automated run: every box is reported on the script's output, and
// answered from the answers the script has queued. A box for which no answer waits is shown as
// usual and waits for the user (or for the script's next "answer").
//
// Each box is reported as one line when it is done:
//   box KIND INDEX "TEXT" -> ANSWER
// KIND is error, information, question or plain; a line break in TEXT is written as \n; ANSWER is
// ok, yes, no or cancel.
#pragma once

#include <deque>
#include <ostream>
#include <string>
#include <string_view>

#include "resources/message_catalogue.h"
#include "ui/automation_script.h"

namespace klxr {

// The one line that reports a box.
std::string BoxReport(BoxKind kind, int index, std::string_view text, std::string_view answer);

class AutomationMessageBoxes : public MessageBoxes {
 public:
  // shown: the boxes shown when no answer waits; report: where each box is reported.
  AutomationMessageBoxes(MessageBoxes& shown, std::ostream& report);

  void Show(int index, std::string_view text, BoxKind kind) override;
  // Reported as Show reports it; the detail goes to the box shown.
  void ShowDetailed(int index, std::string_view text, BoxKind kind,
                    std::string_view detail) override;
  Answer Ask(int index, std::string_view text) override;

  // Queues an answer for the next box.
  void QueueAnswer(ScriptedAnswer answer) { answers_.push_back(answer); }
  // Whether a box is being shown to the user now.
  bool ShowingBox() const { return showing_ > 0; }

 private:
  MessageBoxes& shown_;
  std::ostream& report_;
  std::deque<ScriptedAnswer> answers_;
  int showing_ = 0;
};

}  // namespace klxr
