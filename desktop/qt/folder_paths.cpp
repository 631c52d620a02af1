#include "desktop/folder_paths.h"

#include <QDir>
#include <QFileInfo>

#include "desktop/qt/eight_bit_text.h"

namespace klxr {
namespace {

bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

}  // namespace

std::string CurrentFolder() {
  return PathFromQString(QDir::toNativeSeparators(QDir::currentPath()));
}

std::optional<std::string> FullPath(std::string_view name) {
  if (name.empty()) {
    return std::nullopt;
  }
  const QString full = QDir::cleanPath(QDir::current().absoluteFilePath(PathToQString(name)));
  std::string path = PathFromQString(QDir::toNativeSeparators(full));
  if (path.size() >= kPathCapacity) {
    return std::nullopt;
  }
  return path;
}

std::string FolderOfPath(std::string_view fullPath) {
  std::size_t cut = fullPath.size();
  while (cut > 0 && !IsSeparator(fullPath[cut - 1])) {
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
  const QFileInfo info(PathToQString(path));
  if (!info.exists()) {
    return PathKind::Missing;
  }
  return info.isDir() ? PathKind::Folder : PathKind::File;
}

}  // namespace klxr
