#include "desktop/chooser_listing.h"

#include <algorithm>
#include <cctype>

#include "desktop/folder_paths.h"
#include "platform/directory_listing.h"
#include "platform/file_system_roots.h"

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

std::string Bracketed(std::string_view name) {
  return "[" + std::string(name) + "]";
}

bool IsDriveRoot(std::string_view root) {
  return root.size() == 3 && std::isalpha(static_cast<unsigned char>(root[0])) != 0 &&
         root[1] == ':' && (root[2] == '\\' || root[2] == '/');
}

}  // namespace

std::optional<FolderListing> ListFolderEntries(std::string_view path) {
  if (path.empty() || !platform::EnterReadableFolder(path)) {
    return std::nullopt;
  }
  FolderListing listing{CurrentFolder(), {}};
  for (const platform::DirectoryEntry& entry : platform::ReadCurrentFolder()) {
    listing.entries.push_back(entry.isFolder ? Bracketed(entry.name) : entry.name);
  }
  for (std::string& drive : DriveEntries()) {
    listing.entries.push_back(std::move(drive));
  }
  SortEntries(listing.entries);
  return listing;
}

std::vector<std::string> DriveEntries() {
  std::vector<std::string> drives;
  for (const std::string& root : platform::FileSystemRoots()) {
    drives.push_back(DriveEntryOf(root));
  }
  std::sort(drives.begin(), drives.end());
  drives.erase(std::unique(drives.begin(), drives.end()), drives.end());
  return drives;
}

std::string DriveEntryOf(std::string_view root) {
  if (IsDriveRoot(root)) {
    return std::string("[-") + FoldCase(root[0]) + "-]";
  }
  return Bracketed(root);
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
