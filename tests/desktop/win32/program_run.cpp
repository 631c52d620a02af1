#include "tests/desktop/win32/program_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace klxr::testing {
namespace {

constexpr DWORD kLongestRunMs = 40000;

struct Found {
  DWORD process;
  std::string caption;
  HWND window = nullptr;
};

BOOL CALLBACK FindTitled(HWND window, LPARAM found) {
  auto& f = *reinterpret_cast<Found*>(found);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char caption[128] = {};
  GetWindowTextA(window, caption, sizeof caption);
  if (process == f.process && IsWindowVisible(window) && f.caption == caption) {
    f.window = window;
    return FALSE;
  }
  return TRUE;
}

// Runs a console command and returns what it wrote on standard output.
std::string CommandOutput(std::string command) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
    return {};
  }
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE,
                                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
  CloseHandle(writeEnd);
  std::string output;
  if (started) {
    char chunk[512];
    DWORD got = 0;
    while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0) {
      output.append(chunk, got);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(readEnd);
  return output;
}

void SetVariable(const std::string& name, const std::string& value) {
  _putenv_s(name.c_str(), value.c_str());  // an empty value removes the variable
}

}  // namespace

std::string FromAnyFolder(const std::string& path) {
  if (path.empty() || path[0] != '/') {
    return path;
  }
  std::string onDrive = "Z:" + path;
  std::replace(onDrive.begin(), onDrive.end(), '/', '\\');
  return onDrive;
}

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines.push_back(line);
  }
  return lines;
}

std::string LookStep(const ScratchFolder& folder, int n) {
  const std::string number = std::to_string(n);
  return "print look " + number + "\nwait-file " + (folder.Path() / ("go " + number)).string() +
         "\n";
}

ProgramRun RunProgram(const ScratchFolder& folder, const ProgramSetup& setup) {
  const std::filesystem::path script = folder.Path() / "script.txt";
  const std::filesystem::path report = folder.Path() / "report.txt";
  std::ofstream(script, std::ios::binary) << setup.script;
  std::filesystem::remove(report);
  SetVariable("KLXR_AUTOMATION", script.string());
  SetVariable("KLXR_AUTOMATION_REPORT", report.string());
  SetVariable("KLXR_D2XX_LIBRARY", FromAnyFolder(setup.driver));
  SetVariable("KLXR_VM_CLOCK", "virtual");
  SetVariable("KLXR_VM_LOG", FromAnyFolder(KLXR_SAMPLES_DIR "/mixed.tlg"));
  for (const auto& [name, value] : setup.environment) {
    SetVariable(name, value);
  }
  std::wstring command =
      L"\"" + std::filesystem::path(FromAnyFolder(KLXR_LOG_PROGRAM)).wstring() + L"\"";
  if (!setup.arguments.empty()) {
    command += L" " + setup.arguments;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ProgramRun run;
  const std::wstring startFolder = setup.startFolder.wstring();
  const BOOL started =
      CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     startFolder.empty() ? nullptr : startFolder.c_str(), &startup, &process);
  for (const auto& variable : setup.environment) {
    SetVariable(variable.first, "");
  }
  if (!started) {
    ADD_FAILURE() << "cannot start " << KLXR_LOG_PROGRAM;
    return run;
  }
  int looks = 0;
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
    if (GetTickCount() - start > kLongestRunMs) {
      ADD_FAILURE() << "the program did not end";
      TerminateProcess(process.hProcess, 99);
    }
    const std::vector<std::string> lines = ReadLines(report);
    const std::string next = "look " + std::to_string(looks + 1);
    if (setup.look && !lines.empty() && lines.back() == next) {
      ++looks;
      setup.look(process.dwProcessId, looks);
      std::ofstream(folder.Path() / ("go " + std::to_string(looks))) << "go";
    }
  }
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  run.report = ReadLines(report);
  return run;
}

std::string WindowTitleOfClass(DWORD process, const std::string& className) {
  for (HWND window = FindWindowExA(nullptr, nullptr, className.c_str(), nullptr); window != nullptr;
       window = FindWindowExA(nullptr, window, className.c_str(), nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == process && IsWindowVisible(window)) {
      char title[128] = {};
      GetWindowTextA(window, title, sizeof title);
      return title;
    }
  }
  return "";
}

HWND FindWindowOf(DWORD process, const std::string& caption) {
  Found found{process, caption};
  EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&found));
  return found.window;
}

std::vector<std::string> ListBoxLines(HWND list) {
  std::vector<std::string> lines;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
    std::wstring text(length < 0 ? 0 : static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(got < 0 ? 0 : static_cast<size_t>(got));
    std::string line(text.size() * 3, '\0');
    line.resize(WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                    line.data(), static_cast<int>(line.size()), nullptr, nullptr));
    lines.push_back(line);
  }
  return lines;
}

std::string RegistryText(const std::string& key, const std::string& value) {
  const std::string output = CommandOutput("reg.exe query \"" + key + "\" /v " + value);
  const std::string type = "REG_SZ";
  const size_t at = output.find(value + "    " + type + "    ");
  if (at == std::string::npos) {
    return "";
  }
  const size_t start = at + value.size() + type.size() + 8;
  const size_t end = output.find_first_of("\r\n", start);
  return output.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void DeleteRegistryKey(const std::string& key) {
  CommandOutput("reg.exe delete \"" + key + "\" /f");
}

}  // namespace klxr::testing
