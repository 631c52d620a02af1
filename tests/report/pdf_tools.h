// The Debian PDF tools (poppler-utils) run on a report written to a temporary folder: the page
// count and paper size of pdfinfo, and the text of pdftotext -layout.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace klxr::testing {

#ifdef _WIN32
inline FILE* OpenPipe(const char* command) {
  return _popen(command, "rb");
}
inline int ClosePipe(FILE* pipe) {
  return _pclose(pipe);
}
inline constexpr const char* kNoOutput = ">NUL 2>&1";
#else
inline FILE* OpenPipe(const char* command) {
  return popen(command, "r");
}
inline int ClosePipe(FILE* pipe) {
  return pclose(pipe);
}
inline constexpr const char* kNoOutput = ">/dev/null 2>&1";
#endif

inline std::string RunCapturing(const std::string& command) {
  std::string output;
  if (FILE* pipe = OpenPipe(command.c_str())) {
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
      output.append(buffer, got);
    }
    ClosePipe(pipe);
  }
  return output;
}

inline bool HavePdfTools() {
  return std::system((std::string("pdfinfo -v ") + kNoOutput).c_str()) == 0 &&
         std::system((std::string("pdftotext -v ") + kNoOutput).c_str()) == 0;
}

// A PDF document in a file of its own folder, removed with it.
class PdfFile {
 public:
  explicit PdfFile(std::string_view bytes)
      : folder_(std::filesystem::temp_directory_path() /
                ("klxr-report-" + std::to_string(std::random_device{}()))) {
    std::filesystem::create_directories(folder_);
    std::ofstream(Path(), std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  ~PdfFile() { std::filesystem::remove_all(folder_); }
  PdfFile(const PdfFile&) = delete;
  PdfFile& operator=(const PdfFile&) = delete;

  std::string Path() const { return (folder_ / "report.pdf").string(); }
  std::string Info() const { return RunCapturing("pdfinfo '" + Path() + "' 2>&1"); }
  std::string Text() const { return RunCapturing("pdftotext -layout '" + Path() + "' - 2>&1"); }

 private:
  std::filesystem::path folder_;
};

}  // namespace klxr::testing
