// The built klxr-log-cli on the loadable virtual meter with several adapters: --device, list
// --long, the progress of read on a pseudo-terminal against a file, and Ctrl-C during a read.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <thread>

#include "run_tool.h"

#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace klxr {
namespace {

namespace fs = std::filesystem;
using testing::ClearVariable;
using testing::ReadWholeFile;
using testing::RunTool;
using testing::SetVariable;
using testing::ToolRun;

constexpr const char* kVariables[] = {"KLXR_D2XX_LIBRARY", "KLXR_VM_CLOCK", "KLXR_VM_DEVICES",
                                      "KLXR_VM_RECORDS", "KLXR_VM_TRANSCRIPT"};

class DeviceToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        fs::temp_directory_path() / ("klxr-devtool-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_);
    SetVariable("KLXR_D2XX_LIBRARY", KLXR_VM_LIBRARY_PATH);
    SetVariable("KLXR_VM_CLOCK", "virtual");
    SetVariable("KLXR_VM_DEVICES", "silent,meter,in-use,meter");
  }
  void TearDown() override {
    for (const char* name : kVariables) {
      ClearVariable(name);
    }
    fs::remove_all(folder_);
  }
  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
  ToolRun Run(const std::vector<std::string>& arguments) { return RunTool(arguments, folder_); }

  fs::path folder_;
};

TEST_F(DeviceToolTest, LongListOfSeveralAdapters) {
  const ToolRun run = Run({"list", "--long"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "0\tQV104512\tQuorvel KLXR\t(silent)\n"
            "1\tQV104513\tQuorvel KLXR\tKLXR V2.31 S/N 104512\n"
            "2\t-\t-\t(in use)\n"
            "3\tQV104515\tQuorvel KLXR\tKLXR V2.31 S/N 104512\n"
            "Number of devices: 2\n");
  EXPECT_EQ(run.err, "");
}

TEST_F(DeviceToolTest, DeviceByIndexOrSerialNumber) {
  SetVariable("KLXR_VM_RECORDS", "7");
  struct Case {
    std::vector<std::string> arguments;
    int status;
    const char* out;  // what standard output begins with
    const char* err;  // what standard error begins with
  };
  const Case cases[] = {
      {{"read", "--device", "3"}, 0, "", "Transfer Complete!\n7 records read in "},
      {{"read"}, 1, "", "Error - Handshake not received\n"},  // the first device has no meter
      {{"read", "--device", "QV104514"},
       1,
       "",
       "klxr-log-cli read: no USB device 'QV104514': 4 devices are attached, indexes 0 to 3, and "
       "none has that serial number (1 could not be opened to read it)\n"},
      {{"erase", "--device", "4", "--yes"}, 1, "", "klxr-log-cli erase: no USB device '4': "},
      {{"adapter", "--device", "QV104515"}, 0, "Setting ", ""},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.arguments.back());
    const ToolRun run = Run(test.arguments);
    EXPECT_EQ(run.status, test.status);
    EXPECT_TRUE(run.out.starts_with(test.out)) << run.out;
    EXPECT_TRUE(run.err.starts_with(test.err)) << run.err;
  }
}

#ifndef _WIN32

// A child process of the built tool whose standard error goes where the test says.
class ToolProcess {
 public:
  ToolProcess(const std::vector<std::string>& arguments, int errFd, const fs::path& outPath,
              const fs::path& inPath) {
    std::ofstream(inPath).flush();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    std::vector<std::string> words{KLXR_CLI_PATH};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
      argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    spawned_ = posix_spawn(&pid_, KLXR_CLI_PATH, &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~ToolProcess() {
    if (spawned_ && !ended_) {
      kill(pid_, SIGKILL);
      Wait();
    }
  }
  bool Spawned() const { return spawned_; }
  pid_t Pid() const { return pid_; }
  // True once the child has ended; its exit status is then in Status().
  bool Ended() {
    if (!ended_ && waitpid(pid_, &status_, WNOHANG) == pid_) {
      ended_ = true;
    }
    return ended_;
  }
  void Wait() {
    if (!ended_ && waitpid(pid_, &status_, 0) == pid_) {
      ended_ = true;
    }
  }
  int Status() const { return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1; }

 private:
  pid_t pid_ = -1;
  int status_ = 0;
  bool spawned_ = false;
  bool ended_ = false;
};

// Everything that can be read from fd now, waiting up to waitMs for the first byte.
std::string TakeAvailable(int fd, int waitMs) {
  std::string taken;
  pollfd descriptor{fd, POLLIN, 0};
  char buffer[4096];
  while (poll(&descriptor, 1, taken.empty() ? waitMs : 0) > 0 &&
         (descriptor.revents & POLLIN) != 0) {
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count <= 0) {
      break;
    }
    taken.append(buffer, static_cast<std::size_t>(count));
  }
  return taken;
}

constexpr auto kPatience = std::chrono::seconds(120);  // the machine may be heavily loaded

TEST_F(DeviceToolTest, ProgressOnATerminalAndNotOnAFile) {
  SetVariable("KLXR_VM_RECORDS", "40");
  int master = -1;
  int slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  std::string terminal;
  {
    // The survey archive's line, after the summary, is left out.
    ToolProcess tool({"read", "--device", "1", "--out", PathOf("log.tlg"), "--no-archive"}, slave,
                     PathOf("out.txt"), PathOf("in.txt"));
    ASSERT_TRUE(tool.Spawned());
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    // Read the terminal while the tool runs, so that it never waits for room to write.
    while (!tool.Ended() && std::chrono::steady_clock::now() < deadline) {
      terminal += TakeAvailable(master, 50);
    }
    ASSERT_TRUE(tool.Ended());
    terminal += TakeAvailable(master, 0);
    EXPECT_EQ(tool.Status(), 0);
  }
  close(slave);
  close(master);
  // The terminal turns each line end into CR LF.
  EXPECT_NE(terminal.find("\rReading the meter log ["), std::string::npos) << terminal;
  EXPECT_NE(terminal.find("] 40 records, end of log"), std::string::npos) << terminal;
  EXPECT_TRUE(std::regex_search(terminal, std::regex("\r\nTransfer Complete!\r\n40 records read in "
                                                     "[0-9]+\\.[0-9] s\r\n$")))
      << terminal;

  const ToolRun piped = Run({"read", "--device", "1", "--out", PathOf("log.tlg"), "--no-archive"});
  EXPECT_EQ(piped.status, 0);
  EXPECT_TRUE(std::regex_match(
      piped.err, std::regex("Transfer Complete!\n40 records read in [0-9]+\\.[0-9] s\n")))
      << piped.err;
}

// Counts the host's acknowledgements (one per record stored) in the transcript file.
int AcknowledgedRecords(const fs::path& transcript) {
  std::ifstream in(transcript);
  int count = 0;
  for (std::string line; std::getline(in, line);) {
    count += line.ends_with("-> 06") ? 1 : 0;
  }
  return count;
}

TEST_F(DeviceToolTest, CtrlCDuringAReadClosesThePortAndWritesNothing) {
  // The real clock: the read lasts minutes unless it is stopped.
  SetVariable("KLXR_VM_CLOCK", "real");
  SetVariable("KLXR_VM_DEVICES", "meter");
  SetVariable("KLXR_VM_RECORDS", "1568");
  SetVariable("KLXR_VM_TRANSCRIPT", PathOf("wire.txt"));
  std::ofstream(PathOf("kept.tlg")) << "kept";
  const int err = open(PathOf("err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(err, 0);
  ToolProcess tool({"read", "--out", PathOf("kept.tlg"), "--csv", PathOf("new.csv")}, err,
                   PathOf("out.txt"), PathOf("in.txt"));
  close(err);
  ASSERT_TRUE(tool.Spawned());
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (AcknowledgedRecords(PathOf("wire.txt")) < 3 && !tool.Ended() &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_FALSE(tool.Ended()) << ReadWholeFile(PathOf("err.txt"));
  ASSERT_EQ(kill(tool.Pid(), SIGINT), 0);
  tool.Wait();

  EXPECT_EQ(tool.Status(), 130);
  const std::string message = ReadWholeFile(PathOf("err.txt"));
  std::smatch records;
  ASSERT_TRUE(std::regex_match(
      message, records,
      std::regex("klxr-log-cli read: interrupted after ([0-9]+) records; nothing was written\n")))
      << message;
  EXPECT_GE(std::stoi(records[1]), 3);
  EXPECT_EQ(std::stoi(records[1]), AcknowledgedRecords(PathOf("wire.txt")));
  EXPECT_EQ(ReadWholeFile(PathOf("kept.tlg")), "kept");
  EXPECT_FALSE(fs::exists(PathOf("new.csv")));
  EXPECT_EQ(ReadWholeFile(PathOf("out.txt")), "");
}

#endif

}  // namespace
}  // namespace klxr
