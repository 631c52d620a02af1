#include "platform/file_identity.h"

#include <sys/stat.h>

#include <cstdio>

namespace klxr::platform {
namespace {

FileIdentity IdentityOf(const struct stat& status) {
  return FileIdentity{static_cast<std::uint64_t>(status.st_dev),
                      static_cast<std::uint64_t>(status.st_ino), S_ISREG(status.st_mode)};
}

}  // namespace

std::optional<FileIdentity> IdentityOfFile(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    return std::nullopt;
  }
  return IdentityOf(status);
}

std::optional<FileIdentity> IdentityOfStandardStream(bool output) {
  struct stat status {};
  if (fstat(output ? fileno(stdout) : fileno(stdin), &status) != 0) {
    return std::nullopt;
  }
  return IdentityOf(status);
}

}  // namespace klxr::platform
