// The built klxr-log-cli and its files: standard input and output as "-", special files that must
// neither hang a command nor be replaced, outputs that are the input, and a standard output that
// cannot be written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <random>

#include "run_tool.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;
using testing::QuoteForShell;
using testing::ReadWholeFile;
using testing::RunTool;
using testing::ToolRun;

const fs::path kSamples = KLXR_SAMPLES_DIR;
const fs::path kExpected = KLXR_EXPECTED_DIR;

class CliFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        fs::temp_directory_path() / ("klxr-cli-files-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_);
    fs::copy_file(kSamples / "mixed.tlg", folder_ / "a.tlg");
    log_ = ReadWholeFile(folder_ / "a.tlg");
    csv_ = ReadWholeFile(kExpected / "mixed.csv");
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
  ToolRun Run(const std::vector<std::string>& arguments, const std::string& input = "") {
    return RunTool(arguments, folder_, input);
  }
  // Runs the tool with standard output going to the given file, and returns its exit status; the
  // error stream is in err.
  int RunInto(const std::vector<std::string>& arguments, const std::string& outPath,
              std::string& err) {
    std::string command = QuoteForShell(KLXR_CLI_PATH);
    for (const std::string& argument : arguments) {
      command += " " + QuoteForShell(argument);
    }
    command += " >" + QuoteForShell(outPath) + " 2>" + QuoteForShell(PathOf("err.txt"));
    const int result = std::system(command.c_str());
    err = ReadWholeFile(folder_ / "err.txt");
    fs::remove(folder_ / "err.txt");
    return WIFEXITED(result) ? WEXITSTATUS(result) : -1;
  }
  bool MakeSocket(const std::string& name) const {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = PathOf(name);
    if (fd < 0 || path.size() >= sizeof(address.sun_path)) {
      return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    close(fd);
    return bound;
  }

  fs::path folder_;
  std::string log_;
  std::string csv_;
};

TEST_F(CliFilesTest, DashReadsStandardInputAndWritesStandardOutput) {
  const ToolRun fromFile = Run({"show", PathOf("a.tlg")});
  const ToolRun fromInput = Run({"show", "-"}, log_);
  EXPECT_EQ(fromInput.status, 0);
  EXPECT_EQ(fromInput.out, fromFile.out);
  const ToolRun both = Run({"export", "-", "-"}, log_);
  EXPECT_EQ(both.status, 0);
  EXPECT_EQ(both.out, csv_);
  EXPECT_EQ(Run({"export", PathOf("a.tlg"), "-"}).out, csv_);
  // A file named "-" is a file like any other when its path says so.
  fs::copy_file(kSamples / "empty.tlg", folder_ / "-");
  EXPECT_EQ(Run({"show", PathOf("-")}, log_).err, "No logging data present\n");
  const ToolRun shortInput = Run({"show", "-"}, log_.substr(1));
  EXPECT_EQ(shortInput.status, 1);
  EXPECT_EQ(shortInput.err, "Error - Invalid data file\n");
}

TEST_F(CliFilesTest, ExportOntoItsOwnLogIsRefusedAndTheLogKept) {
  fs::create_symlink("a.tlg", folder_ / "link.tlg");
  fs::create_hard_link(folder_ / "a.tlg", folder_ / "hard.csv");
  const std::vector<std::vector<std::string>> cases{
      {"export", PathOf("a.tlg"), PathOf("a.tlg")},
      {"export", PathOf("a.tlg"), folder_.string() + "/./a.tlg"},
      {"export", PathOf("link.tlg"), PathOf("a.tlg")},
      {"export", PathOf("a.tlg"), PathOf("link.tlg")},
      {"export", PathOf("a.tlg"), PathOf("hard.csv")},
      {"export", "-", PathOf("tool-stdin")},  // the file standard input comes from
  };
  for (const auto& arguments : cases) {
    const ToolRun run = Run(arguments, log_);
    EXPECT_EQ(run.status, 2) << arguments[2];
    EXPECT_NE(run.err.find("is the same file as"), std::string::npos) << run.err;
    EXPECT_EQ(ReadWholeFile(folder_ / "a.tlg"), log_);
  }
  EXPECT_TRUE(fs::is_symlink(folder_ / "link.tlg"));
}

TEST_F(CliFilesTest, SpecialInputsFailAtOnce) {
  ASSERT_EQ(mkfifo(PathOf("fifo.tlg").c_str(), 0600), 0);
  ASSERT_TRUE(MakeSocket("socket.tlg"));
  fs::create_directory(folder_ / "folder.tlg");
  for (const std::string name : {"fifo.tlg", "socket.tlg", "folder.tlg"}) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"show", PathOf(name)}, {"export", PathOf(name), PathOf("out.csv")}}) {
      const ToolRun run = Run(arguments);
      EXPECT_EQ(run.status, 1) << name;
      EXPECT_EQ(run.err, "Invalid binary file\n") << name;
    }
  }
  EXPECT_FALSE(fs::exists(folder_ / "out.csv"));
}

TEST_F(CliFilesTest, SpecialOutputsAreWrittenIntoOrFailAtOnce) {
  ASSERT_EQ(mkfifo(PathOf("fifo.csv").c_str(), 0600), 0);
  const ToolRun noReader = Run({"export", PathOf("a.tlg"), PathOf("fifo.csv")});
  EXPECT_EQ(noReader.status, 1);
  EXPECT_EQ(noReader.err, "Can't save program image\n");
  // A path to standard output (a regular file here) prints there and leaves the file in place.
  const ToolRun toOutput = Run({"export", PathOf("a.tlg"), "/proc/self/fd/1"});
  EXPECT_EQ(toOutput.status, 0);
  EXPECT_EQ(toOutput.out, csv_);
  EXPECT_EQ(fs::symlink_status(folder_ / "fifo.csv").type(), fs::file_type::fifo);
  if (mknod(PathOf("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
    EXPECT_EQ(Run({"export", PathOf("a.tlg"), PathOf("null")}).status, 0);
    EXPECT_EQ(fs::status(folder_ / "null").type(), fs::file_type::character);
  }
}

TEST_F(CliFilesTest, FullDeviceOnStandardOutputIsReported) {
  if (mknod(PathOf("full").c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) {
    GTEST_SKIP() << "device nodes cannot be made here";
  }
  std::string err;
  EXPECT_EQ(RunInto({"show", PathOf("a.tlg")}, PathOf("full"), err), 1);
  EXPECT_EQ(err,
            "klxr-log-cli: error writing standard output: " + std::string(strerror(ENOSPC)) + "\n");
  EXPECT_EQ(RunInto({"export", PathOf("a.tlg"), "-"}, PathOf("full"), err), 1);
  EXPECT_NE(err.find("error writing standard output"), std::string::npos);
  EXPECT_EQ(RunInto({"export", PathOf("a.tlg"), PathOf("full")}, PathOf("out.txt"), err), 1);
  EXPECT_EQ(err, "Can't save program image\n");
  EXPECT_EQ(fs::status(folder_ / "full").type(), fs::file_type::character);
}

TEST_F(CliFilesTest, ClosedPipeOnStandardOutputIsReportedWhenSigpipeIsIgnored) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  close(ends[0]);  // nobody will ever read
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGPIPE, SIG_IGN);
    dup2(ends[1], STDOUT_FILENO);
    const int err = open(PathOf("err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(err, STDERR_FILENO);
    const std::string path = PathOf("a.tlg");
    execl(KLXR_CLI_PATH, KLXR_CLI_PATH, "show", path.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(ends[1]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(ReadWholeFile(folder_ / "err.txt"),
            "klxr-log-cli: error writing standard output: " + std::string(strerror(EPIPE)) + "\n");
}

}  // namespace
}  // namespace klxr
