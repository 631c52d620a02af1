// Runs the built klxr-log-cli with arguments and a standard input, and collects its exit status and
// both output streams.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace klxr::testing {

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

// Runs the tool; scratch is a folder for the captured streams.
inline ToolRun RunTool(const std::vector<std::string>& arguments,
                       const std::filesystem::path& scratch, const std::string& input = "") {
  const std::filesystem::path in = scratch / "tool-stdin";
  const std::filesystem::path out = scratch / "tool-stdout";
  const std::filesystem::path err = scratch / "tool-stderr";
  std::ofstream(in, std::ios::binary) << input;
  std::string command = QuoteForShell(KLXR_CLI_PATH);
  for (const std::string& argument : arguments) {
    command += " " + QuoteForShell(argument);
  }
  command += " <" + QuoteForShell(in.string()) + " >" + QuoteForShell(out.string()) + " 2>" +
             QuoteForShell(err.string());
#ifdef _WIN32
  command = "\"" + command + "\"";  // cmd.exe strips one pair of outer quotes
#endif
  ToolRun run;
  const int result = std::system(command.c_str());
#ifdef _WIN32
  run.status = result;
#else
  run.status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
#endif
  run.out = ReadWholeFile(out);
  run.err = ReadWholeFile(err);
  std::filesystem::remove(in);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return run;
}

}  // namespace klxr::testing
