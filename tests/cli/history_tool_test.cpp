// klxr-log-cli history on an archive of its own: the commands and their exit statuses, exports
// byte for byte, and two programs writing the archive at the same time.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <thread>

#include "cli/exit_status.h"
#include "run_tool.h"

namespace klxr::cli {
namespace {

namespace fs = std::filesystem;
using klxr::testing::ReadWholeFile;
using klxr::testing::RunTool;

class HistoryToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        fs::temp_directory_path() / ("klxr-history-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_);
    saved_ = std::getenv("KLXR_ARCHIVE") ? std::getenv("KLXR_ARCHIVE") : "";
    klxr::testing::SetVariable("KLXR_ARCHIVE", PathOf("surveys.sqlite"));
  }
  void TearDown() override {
    klxr::testing::SetVariable("KLXR_ARCHIVE", saved_);
    fs::remove_all(folder_);
  }
  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
  klxr::testing::ToolRun Tool(const std::vector<std::string>& arguments) {
    return RunTool(arguments, folder_);
  }

  fs::path folder_;
  std::string saved_;
  const std::string mixed_ = std::string(KLXR_SAMPLES_DIR) + "/mixed.tlg";
  const std::string full_ = std::string(KLXR_SAMPLES_DIR) + "/full.tlg";
};

TEST_F(HistoryToolTest, CommandsOnTwoImportedSurveys) {
  const auto imported = Tool({"history", "import", "--site", "Roof", mixed_, full_, mixed_});
  ASSERT_EQ(imported.status, kExitOk) << imported.err;
  EXPECT_EQ(imported.out,
            "1\tnew\t" + mixed_ + "\n2\tnew\t" + full_ + "\n1\tknown\t" + mixed_ + "\n");
  const struct {
    std::vector<std::string> arguments;
    int status;
    std::string outStart;  // what standard output starts with
    std::string errFinds;  // what standard error holds
  } cases[] = {
      {{"history"}, kExitOk, "id\tread (UTC)\tmeter\tsite\trecords\tcomplete\n", ""},
      {{"history", "show", "1"}, kExitOk, "survey\t1\nsha256\t", ""},
      {{"history", "show", "1", "--format", "json"}, kExitOk, "{\"id\": 1, \"sha256\": ", ""},
      {{"history", "--format", "json"}, kExitOk, "[\n  {\"id\": ", ""},
      {{"history", "channel", "CH32", "--format", "json"}, kExitOk, "[\n  {\"survey\": 1, ", ""},
      {{"history", "channel", "no such channel", "--format", "json"}, kExitOk, "[]\n", ""},
      {{"history", "label", "2", "Hill", "--note", "after the repair"}, kExitOk, "", ""},
      {{"history", "show", "3"}, kExitFailure, "", "no survey '3' in the archive"},
      {{"history", "show"}, kExitUsage, "", "missing ID"},
      {{"history", "export", "1", "--format", "pdf", "x"}, kExitUsage, "", "unknown format 'pdf'"},
      {{"history", "list"}, kExitUsage, "", "unknown command 'list'"},
      {{"history", "import", PathOf("nothing.tlg")}, kExitFailure, "", "was not imported"},
  };
  for (const auto& test : cases) {
    const auto run = Tool(test.arguments);
    EXPECT_EQ(run.status, test.status) << test.arguments.back() << ": " << run.err;
    EXPECT_EQ(run.out.substr(0, test.outStart.size()), test.outStart) << test.arguments.back();
    EXPECT_NE(run.err.find(test.errFinds), std::string::npos) << run.err;
  }
  const auto list = Tool({"history"});
  EXPECT_NE(list.out.find("\tHill\t1568\tcomplete\n"), std::string::npos) << list.out;

  // The exports are the files the survey came from, and the CSV is "export"'s, byte for byte.
  ASSERT_EQ(Tool({"history", "export", "1", PathOf("back.tlg")}).status, kExitOk);
  EXPECT_EQ(ReadWholeFile(PathOf("back.tlg")), ReadWholeFile(mixed_));
  ASSERT_EQ(Tool({"history", "export", "1", "--format", "csv", PathOf("history.csv")}).status,
            kExitOk);
  ASSERT_EQ(Tool({"export", mixed_, PathOf("export.csv")}).status, kExitOk);
  EXPECT_EQ(ReadWholeFile(PathOf("history.csv")), ReadWholeFile(PathOf("export.csv")));

  ASSERT_EQ(Tool({"history", "forget", "1"}).status, kExitOk);
  EXPECT_EQ(Tool({"history", "show", "1"}).status, kExitFailure);
  EXPECT_EQ(Tool({"history", "show", "2"}).status, kExitOk);
}

TEST_F(HistoryToolTest, TwoProgramsWritingAtOnceBothSucceed) {
  // Each program imports twenty different logs, one transaction each, while the other does too.
  std::vector<std::string> batches[2];
  for (int i = 0; i < 40; ++i) {
    const std::string name = PathOf("log" + std::to_string(i) + ".tlg");
    std::string image = ReadWholeFile(full_);
    image[64 * 1567 + 10] = static_cast<char>(i);  // a different last record each
    std::ofstream(name, std::ios::binary) << image;
    batches[i % 2].push_back(name);
  }
  klxr::testing::ToolRun runs[2];
  std::vector<std::thread> programs;
  for (int program = 0; program < 2; ++program) {
    std::vector<std::string> arguments = {"history", "import"};
    arguments.insert(arguments.end(), batches[program].begin(), batches[program].end());
    const fs::path streams = folder_ / ("program" + std::to_string(program));
    fs::create_directories(streams);
    programs.emplace_back(
        [&runs, program, arguments, streams] { runs[program] = RunTool(arguments, streams); });
  }
  for (std::thread& program : programs) {
    program.join();
  }
  for (const klxr::testing::ToolRun& run : runs) {
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.err, "");
  }
  const auto list = Tool({"history"});
  EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 41) << list.out;
}

}  // namespace
}  // namespace klxr::cli
