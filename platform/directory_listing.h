// Folders as the file chooser walks them: entering a folder (it becomes the process's current
// directory) and reading the entries of the current one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace klxr::platform {

struct DirectoryEntry {
  std::string name;  // as the file system gives it, "..": the parent folder
  bool isFolder;
};

// Makes the folder the process's current directory, provided it names a folder whose entries can
// be read (a folder that can be entered but not read would list as empty). A relative path is
// resolved against the current directory. False, with nothing changed, otherwise.
bool EnterReadableFolder(std::string_view path);

// The entries of the current directory a user picks from: files, folders and links that lead
// somewhere (as a folder when they lead to one), and ".." where the folder has a parent. Hidden and
// system entries, broken links and special files (FIFOs, sockets, devices) are left out. In the
// order the file system gives them.
std::vector<DirectoryEntry> ReadCurrentFolder();

}  // namespace klxr::platform
