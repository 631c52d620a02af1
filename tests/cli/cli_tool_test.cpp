// End-to-end tests of the built klxr-log-cli on the bundled sample logs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "log/log_files.h"
#include "log/record_format.h"
#include "run_tool.h"
#include "support/recording_message_boxes.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;
using testing::ReadWholeFile;
using testing::RunTool;
using testing::ToolRun;

const fs::path kSamples = KLXR_SAMPLES_DIR;
const fs::path kExpected = KLXR_EXPECTED_DIR;

std::string Sample(const std::string& name) {
  return (kSamples / name).string();
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "output does not end with a line end";
  return lines;
}

class CliToolTest : public testing::ToolFolderTest {};

TEST_F(CliToolTest, ExportOfEachSampleMatchesTheExpectedCsv) {
  for (const std::string name : {"mixed", "ends-with-e", "full"}) {
    const ToolRun run = Run({"export", Sample(name + ".tlg"), PathOf(name + ".csv")});
    EXPECT_EQ(run.status, 0) << name;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadWholeFile(folder_ / (name + ".csv")), ReadWholeFile(kExpected / (name + ".csv")))
        << name;
  }
}

TEST_F(CliToolTest, ShowPrintsTheDisplayLinesOfTheCountedRecords) {
  for (const std::string name : {"mixed", "ends-with-e", "full"}) {
    LogImage image;
    testing::RecordingMessageBoxes boxes;
    ASSERT_EQ(LoadLogFile(image, Sample(name + ".tlg"), nullptr, boxes, false), 0);
    for (const bool dbuv : {false, true}) {
      std::vector<std::string> arguments{"show", Sample(name + ".tlg")};
      if (dbuv) {
        arguments.push_back("--dbuv");
      }
      const ToolRun run = Run(arguments);
      EXPECT_EQ(run.status, 0);
      EXPECT_EQ(run.err, "");
      const std::vector<std::string> lines = SplitLines(run.out);
      ASSERT_EQ(int(lines.size()), CountRecords(image, nullptr)) << name;
      DecodedEntry entry;
      for (std::size_t index = 0; index < lines.size(); ++index) {
        FormatRecord(image, int(index), entry, dbuv ? kUnitsDbuv : kUnitsDbm);
        EXPECT_EQ(lines[index], entry.DisplayLine) << name << " " << index;
      }
    }
  }
}

TEST_F(CliToolTest, ShowWritesRawBytesAndTabs) {
  const std::vector<std::string> dbm = SplitLines(Run({"show", Sample("mixed.tlg")}).out);
  const std::vector<std::string> dbuv =
      SplitLines(Run({"show", "--dbuv", Sample("mixed.tlg")}).out);
  ASSERT_EQ(dbm.size(), 40u);
  ASSERT_EQ(dbuv.size(), 40u);
  EXPECT_EQ(dbm[1],
            "0020-02\t562000\tCH32\tDVB-T\tT\xE9l\xE9 Nord\tPASS\t*****\t\t\t\t\tQAM64\tQAM64\t\t"
            "-50.2\t\t 30.5\t4.00E-008");
  EXPECT_EQ(dbuv[1],
            "0020-02\t562000\tCH32\tDVB-T\tT\xE9l\xE9 Nord\tPASS\t*****\t\t\t\t\tQAM64\tQAM64\t\t"
            " 58.55\t\t 30.5\t4.00E-008");
  EXPECT_EQ(dbm[39],
            "0029-02\t543250\tCH30 RELAY\tPAL-I/NICM\tTRANSPOSER 1\t\t\t\t-41.2\t\t-53.0\t\t\t\t\t"
            " \t\t\t\t");
}

TEST_F(CliToolTest, LogWithoutRecordsIsReportedAndNothingWritten) {
  const ToolRun show = Run({"show", Sample("empty.tlg")});
  EXPECT_EQ(show.status, 1);
  EXPECT_EQ(show.out, "");
  EXPECT_EQ(show.err, "No logging data present\n");
  const ToolRun exported = Run({"export", Sample("empty.tlg"), PathOf("out.csv")});
  EXPECT_EQ(exported.status, 1);
  EXPECT_EQ(exported.err, "No logging data present\n");
  EXPECT_FALSE(fs::exists(folder_ / "out.csv"));
}

TEST_F(CliToolTest, FailuresReportTheProgramsMessageAndLeaveTheOutputAlone) {
  std::ofstream(folder_ / "short.tlg", std::ios::binary) << std::string(kLogImageSize - 1, 'A');
  std::ofstream(folder_ / "old.csv", std::ios::binary) << "old";
  fs::create_directory(folder_ / "taken.csv");
  const struct {
    std::vector<std::string> arguments;
    std::string err;
  } cases[] = {
      {{"show", PathOf("missing.tlg")}, "Invalid binary file\n"},
      {{"export", PathOf("missing.tlg"), PathOf("old.csv")}, "Invalid binary file\n"},
      {{"show", PathOf("short.tlg")}, "Error - Invalid data file\n"},
      {{"export", PathOf("short.tlg"), PathOf("old.csv")}, "Error - Invalid data file\n"},
      {{"export", Sample("mixed.tlg"), PathOf("no-folder/out.csv")}, "Can't save program image\n"},
      {{"export", Sample("mixed.tlg"), PathOf("taken.csv")}, "Can't save program image\n"},
  };
  for (const auto& failure : cases) {
    const ToolRun run = Run(failure.arguments);
    EXPECT_EQ(run.status, 1) << failure.arguments[1];
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, failure.err) << failure.arguments[1];
  }
  EXPECT_EQ(ReadWholeFile(folder_ / "old.csv"), "old");
  EXPECT_TRUE(fs::is_empty(folder_ / "taken.csv"));
  EXPECT_FALSE(fs::exists(folder_ / "no-folder"));
}

TEST_F(CliToolTest, BadCommandLinesAreUsageErrorsWithAHint) {
  const std::string log = Sample("mixed.tlg");
  const struct {
    std::vector<std::string> arguments;
    std::string err;
  } cases[] = {
      {{}, "Usage: klxr-log-cli COMMAND"},
      {{"frobnicate"}, "klxr-log-cli: unknown command 'frobnicate'\nTry 'klxr-log-cli --help'.\n"},
      {{"--frobnicate"}, "klxr-log-cli: unknown option '--frobnicate'\n"},
      {{"show"}, "klxr-log-cli show: missing LOG.tlg\nTry 'klxr-log-cli help show'.\n"},
      {{"show", log, "--metric"},
       "klxr-log-cli show: unknown option '--metric'\nTry 'klxr-log-cli help show'.\n"},
      {{"show", log, "extra"}, "klxr-log-cli show: unexpected argument 'extra'\n"},
      {{"export", log}, "klxr-log-cli export: missing OUT\n"},
      {{"export", log, PathOf("out.csv"), "--dbuv"},
       "klxr-log-cli export: unknown option '--dbuv'"},
      {{"export", "--format", "xls", log, PathOf("out.csv")},
       "klxr-log-cli export: unknown format 'xls' (csv, tidy-csv or json)\n"},
      {{"compare", log}, "klxr-log-cli compare: missing B\n"},
      {{"compare", log, log, "--threshold", "-1"},
       "klxr-log-cli compare: option '--threshold' needs a number of 0 or more, not '-1'\n"},
      {{"compare", log, log, "--ber-decades", "1,5"}, "klxr-log-cli compare: option '--ber-"},
      {{"compare", log, log, "--format", "html"}, "klxr-log-cli compare: unknown format 'html'"},
      {{"compare", "-", "-"}, "klxr-log-cli compare: A and B cannot both be standard input\n"},
      {{"compare", log, PathOf("none.tlg")},
       "klxr-log-cli compare: B '" + PathOf("none.tlg") + "': no such file\n"},
      {{"compare", PathOf("")}, "klxr-log-cli compare: missing B\n"},
      {{"help", "frobnicate"}, "klxr-log-cli: unknown command 'frobnicate'\n"},
      {{"help", "show", "export"}, "klxr-log-cli help: unexpected argument 'export'\n"},
  };
  for (const auto& usage : cases) {
    const ToolRun run = Run(usage.arguments);
    const std::string name = usage.arguments.empty() ? "(none)" : usage.arguments[0];
    EXPECT_EQ(run.status, 2) << name;
    EXPECT_EQ(run.out, "") << name;
    EXPECT_EQ(run.err.rfind(usage.err, 0), 0u) << name << ": " << run.err;
  }
  EXPECT_FALSE(fs::exists(folder_ / "out.csv"));
}

// compare answers with its exit status whether anything got worse; a file that is no log is
// trouble (2), never "worse".
TEST_F(CliToolTest, CompareExitStatusSaysWhetherAnythingGotWorse) {
  std::ofstream(PathOf("short.tlg")) << "not a log";
  const struct {
    std::vector<std::string> arguments;
    int status;
    const char* out;
  } kCases[] = {
      {{"compare", Sample("mixed.tlg"), Sample("mixed.tlg")},
       0,
       "0 better, 0 worse, 40 unchanged; 0 only before, 0 only after\n"},
      {{"compare", Sample("mixed.tlg"), Sample("full.tlg")}, 1, " worse, "},
      {{"compare", Sample("mixed.tlg"), Sample("mixed.tlg"), "--threshold=0", "--ber-decades", "0"},
       0,
       " 40 unchanged; "},
      {{"compare", "--format", "csv", Sample("mixed.tlg"), Sample("empty.tlg")},
       0,
       "\nonly_before,,CH26,,511.25,,A,,67.45,,,45.8,,,,,,,,,,\n"},
      {{"compare", PathOf("short.tlg"), Sample("mixed.tlg")}, 2, ""},
  };
  for (const auto& c : kCases) {
    const ToolRun run = Run(c.arguments);
    EXPECT_EQ(run.status, c.status) << c.arguments[2] << run.err;
    EXPECT_NE(run.out.find(c.out), std::string::npos) << run.out;
  }
}

TEST_F(CliToolTest, ShowHeaderNamesTheViewersColumnsWithTheUnits) {
  for (const bool dbuv : {false, true}) {
    std::vector<std::string> arguments{"show", "--header", Sample("mixed.tlg")};
    if (dbuv) {
      arguments.push_back("--dbuv");
    }
    const std::vector<std::string> lines = SplitLines(Run(arguments).out);
    ASSERT_EQ(lines.size(), 41u);
    const std::string unit = dbuv ? " dBuV" : " dBm";
    EXPECT_EQ(lines[0], "Seq Num\tFrequency\tChannel\tSpec\tMux\tStatus\tQuality\t\tVid. Pwr" +
                            unit + "\t\tAud. Pwr" + unit + "\tMode\tPLP Mode\t\tDig. Pwr" + unit +
                            "\t\tMER/CN\tBER");
  }
}

TEST_F(CliToolTest, HelpAndVersion) {
  const ToolRun overview = Run({"--help"});
  EXPECT_EQ(overview.status, 0);
  for (const char* text :
       {"show", "export", "help COMMAND", "Exit status: 0 success; 1 failure", "2 usage error"}) {
    EXPECT_NE(overview.out.find(text), std::string::npos) << text;
  }
  for (const std::string command : {"show", "export", "compare"}) {
    const ToolRun help = Run({"help", command});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: klxr-log-cli " + command + " ", 0), 0u);
    // compare's exit statuses answer a question; every other command keeps the tool's.
    EXPECT_EQ(help.out.find("Exit status: 0 success") == std::string::npos, command == "compare");
    EXPECT_EQ(Run({command, "--help"}).out, help.out);
    EXPECT_EQ(Run({command, "x.tlg", "--help"}).out, help.out);
  }
  const ToolRun version = Run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "klxr-log-cli 1.14\n");
}

// "help X" for every command of the tool's own table (as its completion lists them) and for the
// subcommands of history; anything else is a usage error.
TEST_F(CliToolTest, HelpExplainsEveryCommand) {
  const std::vector<std::string> commands = SplitLines(Run({"--complete", "commands"}).out);
  ASSERT_GE(commands.size(), 10u);
  for (const std::string& command : commands) {
    const ToolRun help = Run({"help", command});
    EXPECT_EQ(help.status, 0) << command;
    EXPECT_EQ(help.out.rfind("Usage: klxr-log-cli " + command + " ", 0), 0u) << help.out;
  }
  const struct {
    std::vector<std::string> arguments;
    int status;
  } cases[] = {
      {{"help", "history", "show"}, 0},      {{"help", "history", "team"}, 0},
      {{"help", "history", "bogus"}, 2},     {{"help", "help", "show"}, 2},
      {{"help", "frobnicate"}, 2},           {{"help", "show", "--dbuv"}, 2},
      {{"help", "history", "show", "1"}, 2},
  };
  for (const auto& c : cases) {
    const ToolRun run = Run(c.arguments);
    EXPECT_EQ(run.status, c.status) << c.arguments[1] << " " << c.arguments[2];
    EXPECT_EQ(run.out.empty(), c.status != 0) << c.arguments[2];
  }
  // The overview ends in the sections the manual page closes with.
  const std::string overview = Run({"--help"}).out;
  for (const char* heading : {"\nEnvironment:\n", "\nFiles:\n", "\nExamples:\n"}) {
    EXPECT_NE(overview.find(heading), std::string::npos) << heading;
  }
}

// The help names the driver files of this platform only, and where the default one is found.
TEST_F(CliToolTest, HelpNamesThisPlatformsDriverFiles) {
#if defined(_WIN32)
  const std::vector<std::string> named = {"Ftd2xx.dll", "KLXR_D2XX_LIBRARY"};
  const std::vector<std::string> unnamed = {".so"};
#else
  const std::vector<std::string> named = {"libklxr-open-driver.so is the default",
                                          "../lib/klxr-log/", "libftd2xx.so", "KLXR_D2XX_LIBRARY"};
  const std::vector<std::string> unnamed = {"ftd2xx.dll", "Ftd2xx.dll"};
#endif
  std::string help = Run({"--help"}).out;
  for (const std::string command : {"read", "erase", "list", "adapter"}) {
    help += Run({"help", command}).out;
  }
  for (const std::string& text : named) {
    EXPECT_NE(help.find(text), std::string::npos) << text;
  }
  for (const std::string& text : unnamed) {
    EXPECT_EQ(help.find(text), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace klxr
