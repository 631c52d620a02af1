#include "platform/directory_listing.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "platform/full_path.h"

namespace klxr::platform {
namespace {

// Whether an entry is listed as a folder or a file; nullopt when it is not listed: special files
// (FIFOs, sockets, devices) and broken links. A link that leads somewhere is listed, as a folder
// when it leads to one.
std::optional<bool> ListedAsFolder(const std::string& name) {
  struct stat entry {};
  struct stat target {};
  if (lstat(name.c_str(), &entry) != 0 || stat(name.c_str(), &target) != 0) {
    return std::nullopt;
  }
  if (S_ISLNK(entry.st_mode) || S_ISDIR(target.st_mode) || S_ISREG(target.st_mode)) {
    return S_ISDIR(target.st_mode);
  }
  return std::nullopt;
}

}  // namespace

bool EnterReadableFolder(std::string_view path) {
  const std::string name(path);
  struct stat info {};
  if (name.empty() || stat(name.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return false;
  }
  DIR* folder = opendir(name.c_str());
  if (folder == nullptr) {
    return false;
  }
  closedir(folder);
  return chdir(name.c_str()) == 0;
}

std::vector<DirectoryEntry> ReadCurrentFolder() {
  std::vector<DirectoryEntry> entries;
  DIR* folder = opendir(".");
  if (folder == nullptr) {
    return entries;
  }
  // The root's ".." is the root itself: it has no parent to offer.
  const bool hasParent = CurrentDirectory() != "/";
  while (const dirent* found = readdir(folder)) {
    const std::string name = found->d_name;
    if (name == "..") {
      if (hasParent) {
        entries.push_back({name, true});
      }
      continue;
    }
    // Dot files (and ".") are hidden.
    if (name.front() == '.') {
      continue;
    }
    if (const std::optional<bool> isFolder = ListedAsFolder(name)) {
      entries.push_back({name, *isFolder});
    }
  }
  closedir(folder);
  return entries;
}

}  // namespace klxr::platform
