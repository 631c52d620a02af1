// The running program's file: /proc/self/exe on Linux, the loader's answer on macOS.
#include "platform/program_file.h"

#include <unistd.h>

#include <cstdint>
#include <system_error>

#if defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

namespace klxr::platform {

std::filesystem::path RunningProgramFile() {
#if defined(__APPLE__)
  std::uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);
  std::string buffer(size, '\0');
  if (_NSGetExecutablePath(buffer.data(), &size) != 0) {
    return {};
  }
  return std::filesystem::path(buffer.c_str());
#else
  std::error_code error;
  std::filesystem::path file = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : file;
#endif
}

std::string ProgramFolder() {
#if defined(__linux__)
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path) {
    return {};
  }
  const std::string file(path, static_cast<std::size_t>(length));
  const std::size_t slash = file.find_last_of('/');
  return slash == std::string::npos ? std::string() : file.substr(0, slash);
#else
  return {};
#endif
}

}  // namespace klxr::platform
