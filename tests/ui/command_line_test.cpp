#include "ui/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace klxr {
namespace {

struct QuietCase {
  const char* commandLine;
  bool quiet;
};

class QuietModeScanTest : public ::testing::TestWithParam<QuietCase> {};

TEST_P(QuietModeScanTest, FindsAPlusFollowedDirectlyByUpperCaseQ) {
  EXPECT_EQ(ScanQuietMode(GetParam().commandLine), GetParam().quiet) << GetParam().commandLine;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, QuietModeScanTest,
    ::testing::Values(
        // Selects quiet mode wherever it stands.
        QuietCase{"+Q", true}, QuietCase{"x+Qy", true}, QuietCase{"log.tlg +Q", true},
        QuietCase{"+Q log.tlg", true}, QuietCase{"a b +Q c", true}, QuietCase{"+q+Q", true},
        QuietCase{"+Q+", true}, QuietCase{"+ +Q", true}, QuietCase{"Q+Q", true},
        QuietCase{"+++Q", true},  // "++" is taken as a pair, then "+Q"
        // Does not.
        QuietCase{"", false}, QuietCase{"+q", false}, QuietCase{"+ Q", false},
        QuietCase{"++Q", false},  // the second "+" is the partner of the first, never a new "+"
        QuietCase{"Q+", false}, QuietCase{"Q", false}, QuietCase{"+", false},
        QuietCase{"log.tlg +", false}, QuietCase{"-Q", false}, QuietCase{"/Q", false}));

TEST(CommandLineTextTest, JoinsTheArgumentsAfterTheProgramNameWithBlanks) {
  const char* none[] = {"klxr-log"};
  const char* two[] = {"klxr-log", "+Q", "x y"};
  EXPECT_EQ(CommandLineText(1, none), "");
  EXPECT_EQ(CommandLineText(3, two), "+Q x y");
  EXPECT_TRUE(ScanQuietMode(CommandLineText(3, two)));
}

}  // namespace
}  // namespace klxr
