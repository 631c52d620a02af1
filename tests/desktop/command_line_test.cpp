#include "desktop/command_line.h"

#include <gtest/gtest.h>

#include <optional>
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

TEST(CommandLineSwitchesTest, QuietAndPacedFoundInTheSameWalk) {
  struct Case {
    const char* commandLine;
    bool quiet;
    bool paced;
  };
  const std::vector<Case> cases{
      {"", false, false},    {"+P", false, true},
      {"+Q+P", true, true},  {"+P log.tlg +Q", true, true},
      {"x+Py", false, true}, {"+p", false, false},
      {"++P", false, false}, {"+++P", false, true},
      {"+PQ", false, true},  {"+QP", true, false},
      {"+ P", false, false}, {"+P+", false, true},
  };
  for (const Case& c : cases) {
    const CommandLineSwitches switches = ScanCommandLineSwitches(c.commandLine);
    EXPECT_EQ(switches.quiet, c.quiet) << '"' << c.commandLine << '"';
    EXPECT_EQ(switches.paced, c.paced) << '"' << c.commandLine << '"';
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

namespace klxr {
namespace {

TEST(LogFileArgumentTest, TakesTheFirstArgumentThatIsNeitherAnOptionNorASwitch) {
  using Arguments = std::vector<std::string>;
  const struct {
    Arguments arguments;
    std::optional<std::string> file;
  } cases[] = {
      {{}, std::nullopt},
      {{"+Q", "+P", "--demo"}, std::nullopt},
      {{"log.tlg"}, "log.tlg"},
      {{"+Q", "log.tlg"}, "log.tlg"},
      {{"--demo", "/home/u/My Logs/site 4.tlg", "+Q"}, "/home/u/My Logs/site 4.tlg"},
      {{"first.tlg", "second.tlg"}, "first.tlg"},
      {{"", "log.tlg"}, "log.tlg"},
      {{"-", "+", "log.tlg"}, "log.tlg"},
      {{"--", "-odd.tlg"}, "-odd.tlg"},
      {{"--", "+Q.tlg"}, "+Q.tlg"},
      {{"--"}, std::nullopt},
      {{"C:\\Logs\\caf\xe9.tlg"}, "C:\\Logs\\caf\xe9.tlg"},  // bytes as they come
  };
  for (const auto& c : cases) {
    std::string joined;
    for (const std::string& argument : c.arguments) {
      joined += "[" + argument + "]";
    }
    EXPECT_EQ(LogFileArgument(c.arguments), c.file) << joined;
  }
}

}  // namespace
}  // namespace klxr
