// Paths in the system's own 8-bit form: the current directory, full paths, separators and what a
// path names.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace klxr::platform {

// The process's current directory, as a full path.
std::string CurrentDirectory();

// The full path of a name, a relative one resolved against the current directory, with "." and
// ".." steps resolved; the file need not exist. nullopt when the system cannot make one.
std::optional<std::string> MakeFullPath(std::string_view name);

// Whether a character separates the steps of a path.
bool IsPathSeparator(char c);

// The separator the system writes.
char PathSeparator();

// What a path names on disk, links followed.
enum class PathTarget { Missing, Folder, File };
PathTarget LookUpPathTarget(std::string_view path);

}  // namespace klxr::platform
