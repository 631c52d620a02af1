// The built klxr-log-cli and its files: standard input and output as "-", special files that must
// neither hang a command nor be replaced, outputs that are the input, and a standard output that
// cannot be written.
#include <fcntl.h>
#ifdef __linux__
#include <pty.h>
#include <termios.h>
#endif
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "run_tool.h"
#include "support/scratch_folder.h"

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
    fs::copy_file(kSamples / "mixed.tlg", folder_.Path() / "a.tlg");
    log_ = folder_.Read("a.tlg");
    csv_ = ReadWholeFile(kExpected / "mixed.csv");
  }
  std::string PathOf(const std::string& name) const { return folder_.PathOf(name); }
  ToolRun Run(const std::vector<std::string>& arguments, const std::string& input = "") {
    return RunTool(arguments, folder_.Path(), input);
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
    err = folder_.Read("err.txt");
    fs::remove(folder_.Path() / "err.txt");
    return WIFEXITED(result) ? WEXITSTATUS(result) : -1;
  }

  testing::ScratchFolder folder_;
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
  fs::copy_file(kSamples / "empty.tlg", folder_.Path() / "-");
  EXPECT_EQ(Run({"show", PathOf("-")}, log_).err, "No logging data present\n");
  const ToolRun shortInput = Run({"show", "-"}, log_.substr(1));
  EXPECT_EQ(shortInput.status, 1);
  EXPECT_EQ(shortInput.err, "Error - Invalid data file\n");
}

TEST_F(CliFilesTest, ExportOntoItsOwnLogIsRefusedAndTheLogKept) {
  fs::create_symlink("a.tlg", folder_.Path() / "link.tlg");
  fs::create_hard_link(folder_.Path() / "a.tlg", folder_.Path() / "hard.csv");
  const std::vector<std::vector<std::string>> cases{
      {"export", PathOf("a.tlg"), PathOf("a.tlg")},
      {"export", PathOf("a.tlg"), folder_.Path().string() + "/./a.tlg"},
      {"export", PathOf("link.tlg"), PathOf("a.tlg")},
      {"export", PathOf("a.tlg"), PathOf("link.tlg")},
      {"export", PathOf("a.tlg"), PathOf("hard.csv")},
      {"export", "-", PathOf("tool-stdin")},  // the file standard input comes from
  };
  for (const auto& arguments : cases) {
    const ToolRun run = Run(arguments, log_);
    EXPECT_EQ(run.status, 2) << arguments[2];
    EXPECT_NE(run.err.find("is the same file as"), std::string::npos) << run.err;
    EXPECT_EQ(ReadWholeFile(folder_.Path() / "a.tlg"), log_);
  }
  EXPECT_TRUE(fs::is_symlink(folder_.Path() / "link.tlg"));
}

// Standard output opened onto the very file standard input reads ("1<>" does not truncate it):
// writing would empty the log before it is read, so the command is refused and the file kept.
TEST_F(CliFilesTest, StandardOutputOntoStandardInputIsRefused) {
  for (const std::string command : {"export - -", "report - -"}) {
    const std::string line =
        QuoteForShell(KLXR_CLI_PATH) + " " + command + " <" + QuoteForShell(PathOf("a.tlg")) +
        " 1<>" + QuoteForShell(PathOf("a.tlg")) + " 2>" + QuoteForShell(PathOf("err.txt"));
    const int result = std::system(("sh -c " + QuoteForShell(line)).c_str());
    ASSERT_TRUE(WIFEXITED(result)) << command;
    EXPECT_EQ(WEXITSTATUS(result), 2) << command;
    EXPECT_NE(folder_.Read("err.txt").find("is the same file as"), std::string::npos) << command;
    EXPECT_EQ(folder_.Read("a.tlg"), log_) << command;
  }
  // Both streams on one terminal or other device are no file to protect.
  if (folder_.MakeCharacterDevice("null", 1, 3)) {
    const std::string line =
        QuoteForShell(KLXR_CLI_PATH) + " export - - <" + QuoteForShell(PathOf("null")) + " 1<>" +
        QuoteForShell(PathOf("null")) + " 2>" + QuoteForShell(PathOf("err.txt"));
    std::system(("sh -c " + QuoteForShell(line)).c_str());
    EXPECT_EQ(folder_.Read("err.txt"), "Error - Invalid data file\n");
  }
}

TEST_F(CliFilesTest, SpecialInputsFailAtOnce) {
  ASSERT_TRUE(folder_.MakeFifo("fifo.tlg"));
  ASSERT_TRUE(folder_.MakeSocket("socket.tlg"));
  fs::create_directory(folder_.Path() / "folder.tlg");
  for (const std::string name : {"fifo.tlg", "socket.tlg", "folder.tlg"}) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"show", PathOf(name)}, {"export", PathOf(name), PathOf("out.csv")}}) {
      const ToolRun run = Run(arguments);
      EXPECT_EQ(run.status, 1) << name;
      EXPECT_EQ(run.err, "Invalid binary file\n") << name;
    }
  }
  EXPECT_FALSE(fs::exists(folder_.Path() / "out.csv"));
}

TEST_F(CliFilesTest, SpecialOutputsAreWrittenIntoOrFailAtOnce) {
  ASSERT_TRUE(folder_.MakeFifo("fifo.csv"));
  const ToolRun noReader = Run({"export", PathOf("a.tlg"), PathOf("fifo.csv")});
  EXPECT_EQ(noReader.status, 1);
  EXPECT_EQ(noReader.err, "Can't save program image\n");
  // A path to standard output (a regular file here) prints there and leaves the file in place.
  const ToolRun toOutput = Run({"export", PathOf("a.tlg"), "/proc/self/fd/1"});
  EXPECT_EQ(toOutput.status, 0);
  EXPECT_EQ(toOutput.out, csv_);
  EXPECT_EQ(fs::symlink_status(folder_.Path() / "fifo.csv").type(), fs::file_type::fifo);
  if (folder_.MakeCharacterDevice("null", 1, 3)) {
    EXPECT_EQ(Run({"export", PathOf("a.tlg"), PathOf("null")}).status, 0);
    EXPECT_EQ(fs::status(folder_.Path() / "null").type(), fs::file_type::character);
  }
}

TEST_F(CliFilesTest, FullDeviceOnStandardOutputIsReported) {
  if (!folder_.MakeCharacterDevice("full", 1, 7)) {
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
  EXPECT_EQ(fs::status(folder_.Path() / "full").type(), fs::file_type::character);
}

// Runs the tool with SIGPIPE ignored and standard output a pipe that nobody will ever read, its
// standard error going to err.txt; returns the exit status, or -1 when it did not exit.
int RunWithClosedStandardOutput(const std::vector<std::string>& arguments, const fs::path& err) {
  int ends[2];
  if (pipe(ends) != 0) {
    return -1;
  }
  close(ends[0]);
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGPIPE, SIG_IGN);
    dup2(ends[1], STDOUT_FILENO);
    dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
    std::vector<char*> argv{const_cast<char*>(KLXR_CLI_PATH)};
    for (const std::string& argument : arguments) {
      argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    execv(KLXR_CLI_PATH, argv.data());
    _exit(127);
  }
  close(ends[1]);
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
    return -1;
  }
  return WEXITSTATUS(status);
}

TEST_F(CliFilesTest, ClosedPipeOnStandardOutputIsReportedWhenSigpipeIsIgnored) {
  EXPECT_EQ(RunWithClosedStandardOutput({"show", PathOf("a.tlg")}, folder_.Path() / "err.txt"), 1);
  EXPECT_EQ(ReadWholeFile(folder_.Path() / "err.txt"),
            "klxr-log-cli: error writing standard output: " + std::string(strerror(EPIPE)) + "\n");
}

// A write stopped by the file-size limit is an error the tool reports, not a signal that kills it
// and leaves its temporary file beside the target.
TEST_F(CliFilesTest, FileSizeLimitFailsTheWriteAndLeavesNoTemporary) {
  const std::vector<std::vector<std::string>> commands = {
      {"export", PathOf("a.tlg"), PathOf("out.csv")},
      {"export", (kSamples / "full.tlg").string(), PathOf("out.csv")},
  };
  for (const auto& arguments : commands) {
    std::string command = "ulimit -f 2; exec " + QuoteForShell(KLXR_CLI_PATH);
    for (const std::string& argument : arguments) {
      command += " " + QuoteForShell(argument);
    }
    command += " 2>" + QuoteForShell(PathOf("err.txt"));
    const int result = std::system(("sh -c " + QuoteForShell(command)).c_str());
    ASSERT_TRUE(WIFEXITED(result)) << arguments[1];
    EXPECT_EQ(WEXITSTATUS(result), 1) << arguments[1];
    EXPECT_NE(ReadWholeFile(folder_.Path() / "err.txt").find("Can't save program image"),
              std::string::npos);
    for (const auto& entry : fs::directory_iterator(folder_.Path())) {
      EXPECT_NE(entry.path().filename().string().rfind(".klxr-", 0), 0u) << entry.path();
    }
    EXPECT_FALSE(fs::exists(folder_.Path() / "out.csv"));
  }
}

// Every command that prints to standard output says so when it cannot, and fails.
TEST_F(CliFilesTest, ClosedPipeFailsEveryCommandThatPrints) {
  const std::vector<std::vector<std::string>> commands = {
      {"--version"},         {"--help"},         {"help", "list"},
      {"list", "--help"},    {"--demo", "list"}, {"--demo", "list", "--long"},
      {"--demo", "adapter"},
  };
  for (const auto& arguments : commands) {
    EXPECT_EQ(RunWithClosedStandardOutput(arguments, folder_.Path() / "err.txt"), 1)
        << arguments.back();
    EXPECT_NE(
        ReadWholeFile(folder_.Path() / "err.txt")
            .find("klxr-log-cli: error writing standard output: " + std::string(strerror(EPIPE))),
        std::string::npos)
        << arguments.back();
  }
}

#ifdef __linux__
// Runs "show" with standard output on a new terminal in the given locale; returns what the
// terminal received.
std::string ShowOnTerminal(const std::string& log, const char* locale) {
  int master = -1;
  int slave = -1;
  if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
    return "openpty failed";
  }
  termios settings{};
  tcgetattr(slave, &settings);
  settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);  // the bytes as written: no CR before LF
  tcsetattr(slave, TCSANOW, &settings);
  const pid_t child = fork();
  if (child == 0) {
    setenv("LC_ALL", locale, 1);
    dup2(slave, STDOUT_FILENO);
    close(master);
    close(slave);
    execl(KLXR_CLI_PATH, KLXR_CLI_PATH, "show", log.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(slave);
  std::string received;
  char buffer[4096];
  for (ssize_t count; (count = read(master, buffer, sizeof buffer)) > 0;) {
    received.append(buffer, static_cast<std::size_t>(count));
  }
  close(master);
  waitpid(child, nullptr, 0);
  return received;
}

TEST_F(CliFilesTest, ShowConvertsNamesToUtf8OnlyOnAUtf8Terminal) {
  const struct {
    const char* locale;
    const char* name;  // the multiplex name "Tele Nord" with its accents as the terminal gets them
  } kCases[] = {
      {"C.UTF-8", "\tT\xC3\xA9l\xC3\xA9 Nord\t"},
      {"C", "\tT\xE9l\xE9 Nord\t"},
  };
  for (const auto& c : kCases) {
    const std::string shown = ShowOnTerminal(PathOf("a.tlg"), c.locale);
    EXPECT_NE(shown.find(c.name), std::string::npos) << c.locale << ": " << shown.substr(0, 300);
  }
  // Into a file the bytes stay the log's, whatever the locale.
  const ToolRun piped = Run({"show", PathOf("a.tlg")});
  EXPECT_NE(piped.out.find("\tT\xE9l\xE9 Nord\t"), std::string::npos);
}
#endif

}  // namespace
}  // namespace klxr
