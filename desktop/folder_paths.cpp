#include "desktop/folder_paths.h"

#include "platform/full_path.h"

namespace klxr {

std::string CurrentFolder() {
  return platform::CurrentDirectory();
}

std::optional<std::string> FullPath(std::string_view name) {
  std::optional<std::string> path = platform::MakeFullPath(name);
  if (!path || path->size() >= kPathCapacity) {
    return std::nullopt;
  }
  return path;
}

std::string FolderOfPath(std::string_view fullPath) {
  std::size_t cut = fullPath.size();
  while (cut > 0 && !platform::IsPathSeparator(fullPath[cut - 1])) {
    --cut;
  }
  if (cut == 0) {
    return std::string(fullPath);
  }
  if (cut == 1) {
    return std::string(fullPath.substr(0, 1));
  }
  return std::string(fullPath.substr(0, cut - 1));
}

PathKind LookUpPath(std::string_view path) {
  switch (platform::LookUpPathTarget(path)) {
    case platform::PathTarget::Folder:
      return PathKind::Folder;
    case platform::PathTarget::File:
      return PathKind::File;
    case platform::PathTarget::Missing:
      break;
  }
  return PathKind::Missing;
}

}  // namespace klxr
