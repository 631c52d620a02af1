// Runs the built klxr-log-cli with arguments and a standard input, and collects its exit status and
// both output streams.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#ifdef _WIN32
#include "support/windows_process.h"
#else
#include <sys/wait.h>
#endif

namespace klxr::testing {

// Sets or removes a variable of this process's environment, which the tool inherits.
inline void SetVariable(const char* name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name, value.c_str());
#else
  setenv(name, value.c_str(), 1);
#endif
}

inline void ClearVariable(const char* name) {
#ifdef _WIN32
  _putenv_s(name, "");
#else
  unsetenv(name);
#endif
}

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string QuoteForShell(const std::string& text) {
#ifdef _WIN32
  return "\"" + text + "\"";
#else
  std::string quoted = "'";
  for (char c : text) {
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return quoted + "'";
#endif
}

#ifdef _WIN32
// The tool's exit status with its standard streams on the three files.
inline int RunToolProcess(const std::vector<std::string>& arguments,
                          const std::filesystem::path& in, const std::filesystem::path& out,
                          const std::filesystem::path& err) {
  std::vector<std::string> words{KLXR_CLI_PATH};
  words.insert(words.end(), arguments.begin(), arguments.end());
  return RunProcessWithStreams(words, in, out, err);
}
#endif

// Runs the tool; scratch is a folder for the captured streams.
inline ToolRun RunTool(const std::vector<std::string>& arguments,
                       const std::filesystem::path& scratch, const std::string& input = "") {
  const std::filesystem::path in = scratch / "tool-stdin";
  const std::filesystem::path out = scratch / "tool-stdout";
  const std::filesystem::path err = scratch / "tool-stderr";
  std::ofstream(in, std::ios::binary) << input;
  ToolRun run;
#ifdef _WIN32
  run.status = RunToolProcess(arguments, in, out, err);
#else
  std::string command = QuoteForShell(KLXR_CLI_PATH);
  for (const std::string& argument : arguments) {
    command += " " + QuoteForShell(argument);
  }
  command += " <" + QuoteForShell(in.string()) + " >" + QuoteForShell(out.string()) + " 2>" +
             QuoteForShell(err.string());
  const int result = std::system(command.c_str());
  run.status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
#endif
  run.out = ReadWholeFile(out);
  run.err = ReadWholeFile(err);
  std::filesystem::remove(in);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return run;
}

// A test that runs the tool in a fresh temporary folder of its own, removed afterwards.
class ToolFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("klxr-cli-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
  ToolRun Run(const std::vector<std::string>& arguments) { return RunTool(arguments, folder_); }

  std::filesystem::path folder_;
};

}  // namespace klxr::testing
