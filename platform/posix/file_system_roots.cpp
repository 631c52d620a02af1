#include "platform/file_system_roots.h"

#include <mntent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <array>
#include <cstdio>
#include <string_view>

namespace klxr::platform {
namespace {

bool IsAtOrUnder(std::string_view path, std::string_view folder) {
  return path == folder || (path.size() > folder.size() &&
                            path.substr(0, folder.size()) == folder && path[folder.size()] == '/');
}

// A file system a user would pick: a real device (no loop device: an installed software image)
// holding a folder with room in it, mounted outside the boot partitions and the system's own
// folders.
bool IsPickable(const mntent& mount) {
  const std::string_view device = mount.mnt_fsname;
  const std::string_view root = mount.mnt_dir;
  if (device.substr(0, 5) != "/dev/" || device.substr(0, 9) == "/dev/loop" || root == "/") {
    return false;
  }
  constexpr std::array<std::string_view, 6> kSystemFolders{"/boot", "/dev",     "/proc",
                                                           "/sys",  "/var/run", "/var/lock"};
  for (std::string_view folder : kSystemFolders) {
    if (IsAtOrUnder(root, folder)) {
      return false;
    }
  }
  struct stat info {};
  struct statvfs space {};
  return stat(mount.mnt_dir, &info) == 0 && S_ISDIR(info.st_mode) &&
         statvfs(mount.mnt_dir, &space) == 0 && space.f_blocks > 0;
}

}  // namespace

std::vector<std::string> FileSystemRoots() {
  std::vector<std::string> roots{"/"};
  std::FILE* mounts = setmntent("/proc/self/mounts", "r");
  if (mounts == nullptr) {
    return roots;
  }
  mntent entry{};
  std::array<char, 4096> text{};
  while (getmntent_r(mounts, &entry, text.data(), static_cast<int>(text.size())) != nullptr) {
    if (IsPickable(entry)) {
      roots.emplace_back(entry.mnt_dir);
    }
  }
  endmntent(mounts);
  return roots;
}

}  // namespace klxr::platform
