#include "platform/full_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace klxr::platform {

std::string CurrentDirectory() {
  std::vector<char> buffer(256);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) {
      return {};
    }
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

std::optional<std::string> MakeFullPath(std::string_view name) {
  if (name.empty()) {
    return std::nullopt;
  }
  const std::string joined =
      name.front() == '/' ? std::string(name) : CurrentDirectory() + "/" + std::string(name);
  // The steps, with "." and empty steps dropped and each ".." taking back the step before it
  // (at the root, ".." is the root).
  std::vector<std::string_view> steps;
  const std::string_view path = joined;
  for (std::size_t start = 0; start <= path.size();) {
    std::size_t end = path.find('/', start);
    end = end == std::string_view::npos ? path.size() : end;
    const std::string_view step = path.substr(start, end - start);
    if (step == "..") {
      if (!steps.empty()) {
        steps.pop_back();
      }
    } else if (!step.empty() && step != ".") {
      steps.push_back(step);
    }
    start = end + 1;
  }
  std::string full;
  for (std::string_view step : steps) {
    full += '/';
    full += step;
  }
  return full.empty() ? "/" : full;
}

bool IsPathSeparator(char c) {
  return c == '/';
}

char PathSeparator() {
  return '/';
}

PathTarget LookUpPathTarget(std::string_view path) {
  struct stat info {};
  if (stat(std::string(path).c_str(), &info) != 0) {
    return PathTarget::Missing;
  }
  return S_ISDIR(info.st_mode) ? PathTarget::Folder : PathTarget::File;
}

}  // namespace klxr::platform
