#include "desktop/program_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktop/command_line.h"

namespace klxr {
namespace {

struct OptionsCase {
  std::vector<const char*> arguments;  // after the program name
  bool help;
  bool version;
  bool demo;
  bool quiet;
};

TEST(ProgramOptions, OnlyWholeArgumentsCountAndTheQuietScanSeesThroughThem) {
  const OptionsCase kCases[] = {
      {{}, false, false, false, false},
      {{"--demo"}, false, false, true, false},
      {{"--demo", "+Q"}, false, false, true, true},
      {{"+Q", "--demo"}, false, false, true, true},
      {{"--demo+Q"}, false, false, false, true},  // not the option, but "+Q" inside a word counts
      {{"+", "--demo"}, false, false, true, false},  // the "+" takes the blank, not the option
      {{"--help"}, true, false, false, false},
      {{"-h"}, true, false, false, false},
      {{"--version"}, false, true, false, false},
      {{"--Demo", "--helpme", "-version"}, false, false, false, false},
      {{"file.tlg", "--version", "--help"}, true, true, false, false},
  };
  for (const OptionsCase& testCase : kCases) {
    std::vector<const char*> argv{"klxr-log"};
    argv.insert(argv.end(), testCase.arguments.begin(), testCase.arguments.end());
    const int argc = static_cast<int>(argv.size());
    const ProgramOptions options = ScanProgramOptions(argc, argv.data());
    const std::string line = CommandLineText(argc, argv.data());
    EXPECT_EQ(options.help, testCase.help) << line;
    EXPECT_EQ(options.version, testCase.version) << line;
    EXPECT_EQ(options.demo, testCase.demo) << line;
    EXPECT_EQ(ScanQuietMode(line), testCase.quiet) << line;
  }
}

TEST(ProgramOptions, HelpNamesEveryOptionTheProgramTakes) {
  const std::string help(DesktopHelpText());
  for (const char* option : {"+Q", "--demo", "--help", "--version", "KLXR_D2XX_LIBRARY"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(help.back(), '\n');
  EXPECT_EQ(std::string(DesktopVersionText()).rfind("klxr-log ", 0), 0U);
}

}  // namespace
}  // namespace klxr
