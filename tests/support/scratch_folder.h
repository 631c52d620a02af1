// A temporary folder per test, with the special files the file tests need made inside it, so that
// no test touches the system's own device nodes (POSIX systems; on Windows the folder alone).
#pragma once

#ifndef _WIN32
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace klxr::testing {

class ScratchFolder {
 public:
  ScratchFolder()
      : path_(std::filesystem::temp_directory_path() /
              ("klxr-files-" + std::to_string(std::random_device{}()))) {
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code error;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(path_, error);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string PathOf(const std::string& name) const { return (path_ / name).string(); }

  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path_ / name, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
#ifndef _WIN32
  // The special files of POSIX systems.
  bool MakeFifo(const std::string& name) const {
    return mkfifo(PathOf(name).c_str(), 0600) == 0;
  }
  // A character device with the numbers given; false where the process may not make one.
  bool MakeCharacterDevice(const std::string& name, unsigned major, unsigned minor) const {
    return mknod(PathOf(name).c_str(), S_IFCHR | 0666, makedev(major, minor)) == 0;
  }
  // A listening-less UNIX socket file: nothing can open it.
  bool MakeSocket(const std::string& name) const {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = PathOf(name);
    if (fd < 0 || path.size() >= sizeof(address.sun_path)) {
      return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    close(fd);
    return bound;
  }
  struct stat StatOf(const std::string& name) const {
    struct stat status {};
    lstat(PathOf(name).c_str(), &status);
    return status;
  }
#endif

 private:
  std::filesystem::path path_;
};

}  // namespace klxr::testing
