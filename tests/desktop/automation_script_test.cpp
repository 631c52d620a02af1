#include "desktop/automation_script.h"

#include <gtest/gtest.h>

#include <sstream>

#include "desktop/automation_message_boxes.h"
#include "support/recording_message_boxes.h"

namespace klxr {
namespace {

AutomationStep Step(AutomationAction action, int line, int number = 0, std::string text = {},
                    ScriptedAnswer answer = ScriptedAnswer::Ok) {
  AutomationStep step;
  step.action = action;
  step.line = line;
  step.number = number;
  step.text = std::move(text);
  step.answer = answer;
  return step;
}

TEST(AutomationScriptTest, ReadsEveryKindOfStepWithItsLine) {
  const AutomationScript script = ParseAutomationScript(
      "# read and save\n"
      "\n"
      "answer ok\r\n"
      "command 32779\n"
      "  wait-idle  \n"
      "command 32784\n"
      "choose /tmp/a b.tlg\n"
      "answer no\n"
      "cancel\n"
      "wait-modal\n"
      "wait-progress 700\n"
      "wait-file /tmp/go\n"
      "freeze-until /tmp/shot-taken\n"
      "sleep 250\n"
      "timeout 5\n"
      "print ready to shoot\n"
      "print\n"
      "screenshot /tmp/main.png\n"
      "click 1100\n"
      "quit");
  ASSERT_TRUE(script.errors.empty()) << script.errors.front();
  using A = AutomationAction;
  const std::vector<AutomationStep> expected{
      Step(A::Answer, 3, 0, {}, ScriptedAnswer::Ok),
      Step(A::Command, 4, 32779),
      Step(A::WaitIdle, 5),
      Step(A::Command, 6, 32784),
      Step(A::Choose, 7, 0, "/tmp/a b.tlg"),
      Step(A::Answer, 8, 0, {}, ScriptedAnswer::No),
      Step(A::Cancel, 9),
      Step(A::WaitModal, 10),
      Step(A::WaitProgress, 11, 700),
      Step(A::WaitFile, 12, 0, "/tmp/go"),
      Step(A::FreezeUntil, 13, 0, "/tmp/shot-taken"),
      Step(A::Sleep, 14, 250),
      Step(A::Timeout, 15, 5),
      Step(A::Print, 16, 0, "ready to shoot"),
      Step(A::Print, 17, 0, ""),
      Step(A::Screenshot, 18, 0, "/tmp/main.png"),
      Step(A::Click, 19, 1100),
      Step(A::Quit, 20),
  };
  EXPECT_EQ(script.steps, expected);
}

TEST(AutomationScriptTest, ReportsEveryBadLineAndKeepsTheGoodOnes) {
  const AutomationScript script = ParseAutomationScript(
      "command\n"
      "command 3x\n"
      "command -1\n"
      "answer maybe\n"
      "choose\n"
      "quit now\n"
      "jump 3\n"
      "wait-idle\n");
  EXPECT_EQ(script.errors, (std::vector<std::string>{
                               "line 1: command needs a number",
                               "line 2: command needs a number",
                               "line 3: command needs a number",
                               "line 4: answer needs yes, no, cancel or ok",
                               "line 5: choose needs a path",
                               "line 6: quit takes nothing after it",
                               "line 7: unknown step 'jump'",
                           }));
  ASSERT_EQ(script.steps.size(), 1u);
  EXPECT_EQ(script.steps[0].line, 8);
}

TEST(AutomationMessageBoxesTest, AnswersFromTheQueueAndReportsEachBoxOnOneLine) {
  testing::RecordingMessageBoxes shown;
  shown.answers = {Answer::No};
  std::ostringstream report;
  AutomationMessageBoxes boxes(shown, report);

  boxes.QueueAnswer(ScriptedAnswer::Ok);
  boxes.QueueAnswer(ScriptedAnswer::Cancel);
  ShowMessage(boxes, msg::kTransferComplete, BoxKind::Information);
  EXPECT_EQ(AskQuestion(boxes, msg::kConfirmErase), Answer::Cancel);
  EXPECT_TRUE(shown.boxes.empty());  // both answered by the script

  // With the queue empty the box is really shown, and the user's answer is reported.
  EXPECT_EQ(AskQuestion(boxes, msg::kConfirmOverwrite), Answer::No);
  ShowMessage(boxes, msg::kLogErased, BoxKind::Plain);
  EXPECT_EQ(shown.Indexes(), (std::vector<int>{msg::kConfirmOverwrite, msg::kLogErased}));

  EXPECT_EQ(report.str(),
            "box information 3 \"Transfer Complete!\" -> ok\n"
            "box question 23 \"Please confirm that you wish to erase the meter log data?\\n(This "
            "may take a few seconds)\" -> cancel\n"
            "box question 18 \"Confirm file overwrite?\" -> no\n"
            "box plain 24 \"Meter log data erased\" -> ok\n");
}

TEST(AutomationMessageBoxesTest, OkAnswersAQuestionWithItsDefaultButtonYes) {
  testing::RecordingMessageBoxes shown;
  std::ostringstream report;
  AutomationMessageBoxes boxes(shown, report);
  boxes.QueueAnswer(ScriptedAnswer::Ok);
  boxes.QueueAnswer(ScriptedAnswer::Yes);
  EXPECT_EQ(AskQuestion(boxes, msg::kConfirmOverwrite), Answer::Yes);
  EXPECT_EQ(AskQuestion(boxes, msg::kConfirmOverwrite), Answer::Yes);
}

TEST(AutomationMessageBoxesTest, ReportsADetailAndOkPressesAQuestionsDefaultNo) {
  testing::RecordingMessageBoxes shown;
  std::ostringstream report;
  AutomationMessageBoxes boxes(shown, report);
  boxes.QueueAnswer(ScriptedAnswer::Ok);
  boxes.QueueAnswer(ScriptedAnswer::Ok);
  boxes.ShowDetailed(msg::kCantWriteRegistry, LoadText(msg::kCantWriteRegistry), BoxKind::Error,
                     "Settings file \"/s.ini\":\nPermission denied.");
  EXPECT_EQ(boxes.AskDefaultNo(msg::kOwnText, "Replace it?"), Answer::No);
  // Unanswered, the box is shown with its detail and its default.
  boxes.ShowDetailed(msg::kCantWriteRegistry, "text", BoxKind::Error, "detail");
  boxes.AskDefaultNo(msg::kOwnText, "Replace it?");
  EXPECT_EQ(shown.details, (std::vector<std::string>{"detail", ""}));
  EXPECT_EQ(shown.defaultNo, std::vector<std::size_t>{1});
  EXPECT_EQ(report.str(),
            "box error 21 \"Can't read system registry, COM setting will not be saved\" detail "
            "\"Settings file \"/s.ini\":\\nPermission denied.\" -> ok\n"
            "box question -1 \"Replace it?\" -> no\n"
            "box error 21 \"text\" detail \"detail\" -> ok\n"
            "box question -1 \"Replace it?\" -> cancel\n");
}

}  // namespace
}  // namespace klxr
