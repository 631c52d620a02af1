// What the file chooser lists: one folder's files, its sub-folders as [name], the parent as [..]
// and the drives, sorted by their text without regard to case; and the extension filter that
// keeps only the files the caller asked for. Every entry whose text ends in "]" is a folder or a
// drive, every other entry a file.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace klxr {

struct FolderListing {
  std::string folder;                // full path of the folder listed
  std::vector<std::string> entries;  // sorted by text, case ignored
};

// Lists a folder (a relative path resolved against the current directory) and makes it the
// process's current directory. Hidden files and folders are not listed. nullopt, with the current
// directory unchanged, when the path does not name a folder that can be entered and read.
std::optional<FolderListing> ListFolderEntries(std::string_view path);

// The drive entries: [-x-] for each drive letter on Windows; elsewhere the roots of the mounted
// file systems a user would pick ("/" always), each as a folder entry of its absolute path. Sorted,
// each once.
std::vector<std::string> DriveEntries();

// The entry of one file system root: [-x-] for a drive's root "X:\", [root] for any other.
std::string DriveEntryOf(std::string_view root);

// Sorts entries by their text without regard to case; equal texts keep their order.
void SortEntries(std::vector<std::string>& entries);

bool IsFolderEntry(std::string_view text);  // ends in "]"
bool IsDriveEntry(std::string_view text);   // [-x-]

// The folder a double-click on a folder or drive entry lists: the drive's root ("x:\") or the
// text between the brackets.
std::string FolderOfEntry(std::string_view text);

// The extensions of a filter such as ".tlg;.csv;": each one ends with a ";". Text after the last
// ";" is ignored.
std::vector<std::string> SplitExtensionFilter(std::string_view filter);

// Whether a name ends in one of the extensions, case ignored.
bool HasListedExtension(std::string_view name, const std::vector<std::string>& extensions);

// Filters listed entries the way the chooser shows them. Folders and drives stay. Every file is
// replaced by the long form of its name; it stays when showAll is set or when the name as listed
// ends in one of the filter's extensions.
std::vector<std::string> FilterChooserEntries(
    const std::vector<std::string>& entries, std::string_view extensionFilter, bool showAll,
    const std::function<std::string(std::string_view)>& longName);

}  // namespace klxr
