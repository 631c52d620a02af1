#include "ui/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace klxr {
namespace {

TEST(QuietModeScanTest, FindsAPlusFollowedDirectlyByUpperCaseQ) {
  struct Case {
    const char* commandLine;
    bool quiet;
  };
  const std::vector<Case> cases{
      // Selects quiet mode wherever it stands.
      {"+Q", true},
      {"x+Qy", true},
      {"log.tlg +Q", true},
      {"+Q log.tlg", true},
      {"a b +Q c", true},
      {"+q+Q", true},
      {"+Q+", true},
      {"+ +Q", true},
      {"Q+Q", true},
      {"+++Q", true},  // "++" is taken as a pair, then "+Q"
      // Does not.
      {"", false},
      {"+q", false},
      {"+ Q", false},
      {"++Q", false},  // the second "+" is the partner of the first, never a new "+"
      {"Q+", false},
      {"Q", false},
      {"+", false},
      {"log.tlg +", false},
      {"-Q", false},
      {"/Q", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScanQuietMode(c.commandLine), c.quiet) << '"' << c.commandLine << '"';
  }
}

TEST(CommandLineTextTest, JoinsTheArgumentsAfterTheProgramNameWithBlanks) {
  const char* none[] = {"klxr-log"};
  const char* two[] = {"klxr-log", "+Q", "x y"};
  EXPECT_EQ(CommandLineText(1, none), "");
  EXPECT_EQ(CommandLineText(3, two), "+Q x y");
  EXPECT_TRUE(ScanQuietMode(CommandLineText(3, two)));
}

}  // namespace
}  // namespace klxr
