#include "platform/file_streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace klxr::platform {

// The kind of file is checked on the open descriptor, so nothing can swap it in between.
std::FILE* OpenRegularFileForReading(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    return nullptr;
  }
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(fd);
    return nullptr;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* stream = fdopen(fd, "rb");
  if (stream == nullptr) {
    close(fd);
  }
  return stream;
}

bool SyncFileToDisk(std::FILE* stream) {
  return fsync(fileno(stream)) == 0;
}

}  // namespace klxr::platform
