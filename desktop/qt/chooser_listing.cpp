#include "desktop/qt/chooser_listing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>
#include <cctype>

#ifndef _WIN32
#include <dirent.h>
#endif

#include "desktop/folder_paths.h"
#include "desktop/qt/eight_bit_text.h"

namespace klxr {
namespace {

char FoldCase(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldCase(x) == FoldCase(y);
         });
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(FoldCase(x)) < static_cast<unsigned char>(FoldCase(y));
  });
}

std::string Bracketed(const QString& name) {
  return "[" + PathFromQString(name) + "]";
}

#ifndef _WIN32
// A mounted file system a user would pick: a real device holding a folder, not a loop device (an
// installed software image) nor the boot partitions.
bool IsPickableVolume(const QStorageInfo& volume) {
  if (!volume.isValid() || !volume.isReady()) {
    return false;
  }
  const QByteArray device = volume.device();
  const QString root = volume.rootPath();
  return device.startsWith("/dev/") && !device.startsWith("/dev/loop") && QFileInfo(root).isDir() &&
         root != QStringLiteral("/boot") && !root.startsWith(QStringLiteral("/boot/"));
}
#endif

// Whether the folder's entries can be read. A folder that can be entered but not read would
// otherwise list as empty and become the current folder as if it were.
bool FolderCanBeRead(const QString& path) {
#ifdef _WIN32
  return QFileInfo(path).isReadable();
#else
  DIR* folder = opendir(QFile::encodeName(path).constData());
  if (folder == nullptr) {
    return false;
  }
  closedir(folder);
  return true;
#endif
}

}  // namespace

std::optional<FolderListing> ListFolderEntries(std::string_view path) {
  if (path.empty()) {
    return std::nullopt;
  }
  const QFileInfo target(QDir::current(), PathToQString(path));
  if (!target.isDir() || !FolderCanBeRead(target.absoluteFilePath()) ||
      !QDir::setCurrent(target.absoluteFilePath())) {
    return std::nullopt;
  }
  const QDir folder = QDir::current();
  FolderListing listing{CurrentFolder(), {}};
  // Without QDir::Hidden and QDir::System: hidden and system files, dot files and broken links
  // are not listed.
  const QFileInfoList found = folder.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDot);
  for (const QFileInfo& entry : found) {
    if (entry.fileName() == QStringLiteral("..")) {
      if (!folder.isRoot()) {
        listing.entries.push_back("[..]");
      }
    } else if (entry.isDir()) {
      listing.entries.push_back(Bracketed(entry.fileName()));
    } else {
      listing.entries.push_back(PathFromQString(entry.fileName()));
    }
  }
  for (std::string& drive : DriveEntries()) {
    listing.entries.push_back(std::move(drive));
  }
  SortEntries(listing.entries);
  return listing;
}

std::vector<std::string> DriveEntries() {
  std::vector<std::string> drives;
#ifdef _WIN32
  for (const QFileInfo& drive : QDir::drives()) {
    const QString root = drive.absoluteFilePath();
    if (!root.isEmpty()) {
      drives.push_back(std::string("[-") + FoldCase(root.at(0).toLatin1()) + "-]");
    }
  }
#else
  drives.push_back("[/]");
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (IsPickableVolume(volume) && !volume.isRoot()) {
      drives.push_back(Bracketed(volume.rootPath()));
    }
  }
  std::sort(drives.begin(), drives.end());
  drives.erase(std::unique(drives.begin(), drives.end()), drives.end());
#endif
  return drives;
}

void SortEntries(std::vector<std::string>& entries) {
  std::stable_sort(entries.begin(), entries.end(), LessIgnoringCase);
}

bool IsFolderEntry(std::string_view text) {
  return !text.empty() && text.back() == ']';
}

bool IsDriveEntry(std::string_view text) {
  return text.size() == 5 && text[0] == '[' && text[1] == '-' && text[3] == '-' && text[4] == ']';
}

std::string FolderOfEntry(std::string_view text) {
  if (IsDriveEntry(text)) {
    return std::string(1, text[2]) + ":\\";
  }
  return std::string(text.substr(1, text.size() - 2));
}

std::vector<std::string> SplitExtensionFilter(std::string_view filter) {
  std::vector<std::string> extensions;
  std::size_t start = 0;
  for (std::size_t end = filter.find(';'); end != std::string_view::npos;
       end = filter.find(';', start)) {
    extensions.emplace_back(filter.substr(start, end - start));
    start = end + 1;
  }
  return extensions;
}

bool HasListedExtension(std::string_view name, const std::vector<std::string>& extensions) {
  return std::any_of(extensions.begin(), extensions.end(), [name](const std::string& extension) {
    return name.size() >= extension.size() &&
           EqualIgnoringCase(name.substr(name.size() - extension.size()), extension);
  });
}

std::vector<std::string> FilterChooserEntries(
    const std::vector<std::string>& entries, std::string_view extensionFilter, bool showAll,
    const std::function<std::string(std::string_view)>& longName) {
  const std::vector<std::string> extensions = SplitExtensionFilter(extensionFilter);
  std::vector<std::string> kept;
  for (const std::string& entry : entries) {
    if (IsFolderEntry(entry)) {
      kept.push_back(entry);
    } else if (showAll || HasListedExtension(entry, extensions)) {
      // The extension test looks at the name as listed, the list shows its long form.
      kept.push_back(longName(entry));
    }
  }
  return kept;
}

}  // namespace klxr
