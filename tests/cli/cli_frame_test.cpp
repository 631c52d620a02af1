// The pieces of the command-line frame that need no process: argument parsing and the terminal's
// message boxes.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/arguments.h"
#include "cli/terminal_message_boxes.h"

namespace klxr::cli {
namespace {

TEST(ParseArguments, KnownOptionsAndExactlyTheOperands) {
  const struct {
    std::vector<std::string> arguments;
    std::vector<std::string> operands;
    std::set<std::string> options;
    std::string error;
  } cases[] = {
      {{"a.tlg"}, {"a.tlg"}, {}, ""},
      {{"--dbuv", "a.tlg"}, {"a.tlg"}, {"--dbuv"}, ""},
      {{"a.tlg", "--dbuv", "--dbuv"}, {"a.tlg"}, {"--dbuv"}, ""},
      {{"--", "-a.tlg"}, {"-a.tlg"}, {}, ""},
      {{"-"}, {"-"}, {}, ""},  // a lone minus is an operand
      {{}, {}, {}, "missing LOG.tlg"},
      {{"a.tlg", "b"}, {"a.tlg", "b"}, {}, "unexpected argument 'b'"},
      {{"a.tlg", "--DBUV"}, {"a.tlg"}, {}, "unknown option '--DBUV'"},
      {{"-x", "a.tlg"}, {}, {}, "unknown option '-x'"},
  };
  for (const auto& parseCase : cases) {
    const ParsedArguments parsed = ParseArguments(parseCase.arguments, {"--dbuv"}, {"LOG.tlg"});
    EXPECT_EQ(parsed.error, parseCase.error);
    EXPECT_EQ(parsed.operands, parseCase.operands);
    EXPECT_EQ(parsed.options, parseCase.options);
  }
}

TEST(ParseArguments, HelpCountsOnlyBeforeTheEndOfOptions) {
  EXPECT_TRUE(AsksForHelp({"a.tlg", "--help"}));
  EXPECT_TRUE(AsksForHelp({"-h"}));
  EXPECT_FALSE(AsksForHelp({"--", "--help"}));
  EXPECT_FALSE(AsksForHelp({"a.tlg"}));
}

TEST(TerminalMessageBoxes, AnswersFromTheTypedLine) {
  const std::pair<const char*, Answer> vectors[] = {
      {"y", Answer::Yes},      {"yes", Answer::Yes},    {" YES \r", Answer::Yes},
      {"Y", Answer::Yes},      {"n", Answer::No},       {"No", Answer::No},
      {"", Answer::Cancel},    {"yep", Answer::Cancel}, {"q", Answer::Cancel},
      {"y n", Answer::Cancel},
  };
  for (const auto& [line, answer] : vectors) {
    EXPECT_EQ(AnswerFromLine(line), answer) << line;
  }
}

TEST(TerminalMessageBoxes, BoxesGoToTheErrorStreamAndQuestionsReadALine) {
  std::istringstream in("no\nyes\n");
  std::ostringstream err;
  TerminalMessageBoxes boxes(in, err);
  ShowMessage(boxes, msg::kNoLoggingData, BoxKind::Error);
  EXPECT_EQ(AskQuestion(boxes, msg::kConfirmOverwrite), Answer::No);
  EXPECT_EQ(AskQuestion(boxes, msg::kConfirmOverwrite), Answer::Yes);
  EXPECT_EQ(AskQuestion(boxes, msg::kConfirmOverwrite), Answer::Cancel);  // end of input
  EXPECT_EQ(err.str(),
            "No logging data present\n"
            "Confirm file overwrite? [y/n] Confirm file overwrite? [y/n] "
            "Confirm file overwrite? [y/n] \n");
}

}  // namespace
}  // namespace klxr::cli
