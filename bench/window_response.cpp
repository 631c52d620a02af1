// klxr-bench-window-response: how long the Windows desktop program takes to show its window, to
// read a log, and how long its window ever keeps the user waiting meanwhile. Run by hand (under
// wine on Linux); its figures go into the README.
//
//   klxr-bench-window-response REPORT PROGRAM
// Starts PROGRAM with the environment as it is: the caller names the driver (KLXR_D2XX_LIBRARY),
// the meter (KLXR_VM_...) and an automation script (KLXR_AUTOMATION) whose report goes to REPORT
// (KLXR_AUTOMATION_REPORT). The script prints "reading" just before it chooses Read and answers the
// "Transfer Complete!" box. Meanwhile the main window is asked every 2 ms to answer an empty
// message, as the system asks a window whether it hangs; each answer's time is one sample.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

constexpr char kCaption[] = "KL-XR Meter - Log";

double NowMs() {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency);
}

struct Search {
  DWORD process;
  HWND found = nullptr;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM search) {
  auto& s = *reinterpret_cast<Search*>(search);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char caption[64] = {};
  GetWindowTextA(window, caption, sizeof caption);
  if (process == s.process && IsWindowVisible(window) && std::string(caption) == kCaption) {
    s.found = window;
    return FALSE;
  }
  return TRUE;
}

std::string ReportText(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: klxr-bench-window-response REPORT PROGRAM\n");
    return 2;
  }
  std::string command = std::string("\"") + argv[2] + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const double started = NowMs();
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "cannot start %s\n", argv[2]);
    return 1;
  }
  Search search{process.dwProcessId};
  double shown = 0;
  double readStart = 0;
  double readEnd = 0;
  double longest = 0;
  int samples = 0;
  int over20 = 0;
  while (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
    if (search.found == nullptr) {
      EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
      if (search.found != nullptr) {
        shown = NowMs() - started;
      }
      Sleep(1);
      continue;
    }
    const double asked = NowMs();
    DWORD_PTR result = 0;
    SendMessageTimeoutA(search.found, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
    const double answered = NowMs() - asked;
    const std::string report = ReportText(argv[1]);
    if (readStart == 0 && report.find("reading") != std::string::npos) {
      readStart = NowMs();
    }
    if (readStart != 0 && readEnd == 0) {
      longest = std::max(longest, answered);
      ++samples;
      over20 += answered > 20 ? 1 : 0;
      if (report.find("\"Transfer Complete!\"") != std::string::npos) {
        readEnd = NowMs();
      }
    }
    Sleep(2);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  std::printf("start-up to the window shown: %.0f ms\n", shown);
  if (readEnd == 0) {
    std::printf("no read completed (the report has no \"Transfer Complete!\")\n");
    return 1;
  }
  std::printf("read: %.2f s\n", (readEnd - readStart) / 1000.0);
  std::printf("window answers during the read: %d, longest %.1f ms, %d over 20 ms\n", samples,
              longest, over20);
  return 0;
}
