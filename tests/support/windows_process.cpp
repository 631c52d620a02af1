#include "support/windows_process.h"

#include <windows.h>

#include <mutex>
#include <string>

namespace klxr::testing {
namespace {

// One argument of a Windows command line, quoted so that the C runtime's parsing gives it back
// as it was: backslashes are doubled only where a quote follows them.
std::wstring QuoteArgument(const std::string& word) {
  const int length =
      MultiByteToWideChar(CP_ACP, 0, word.data(), static_cast<int>(word.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, word.data(), static_cast<int>(word.size()), text.data(), length);
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : text) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

HANDLE OpenInherited(const std::filesystem::path& file, bool write) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(file.c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ, &inherit,
                     write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

int RunProcessWithStreams(const std::vector<std::string>& words, const std::filesystem::path& in,
                          const std::filesystem::path& out, const std::filesystem::path& err) {
  std::wstring commandLine;
  for (const std::string& word : words) {
    commandLine += (commandLine.empty() ? L"" : L" ") + QuoteArgument(word);
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION process{};
  bool started = false;
  {
    // A new process inherits every inheritable handle open at that moment, so two programs started
    // at once from two threads would each keep the other's files open. One start at a time, and
    // this process's copies closed at once: the child holds the only ones.
    static std::mutex starting;
    const std::lock_guard<std::mutex> lock(starting);
    startup.hStdInput = OpenInherited(in, false);
    startup.hStdOutput = OpenInherited(out, true);
    startup.hStdError = OpenInherited(err, true);
    started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                             nullptr, &startup, &process) != 0;
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
      if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
      }
    }
  }
  DWORD status = 9009;
  if (started) {
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  return static_cast<int>(status);
}

}  // namespace klxr::testing
