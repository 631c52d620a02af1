// Paths as the program keeps them: 8-bit text in the platform's own form, at most 1023 characters
// (a buffer of 1024 bytes with its terminator). A path that would not fit counts as one that cannot
// be made.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace klxr {

inline constexpr std::size_t kPathCapacity = 1024;

// The process's current directory, as a full path.
std::string CurrentFolder();

// The full path of a name, a relative name resolved against the current directory; "." and ".."
// steps are resolved, the file need not exist. nullopt for an empty name or a path that does not
// fit kPathCapacity.
std::optional<std::string> FullPath(std::string_view name);

// The folder part of a full path: the path cut before its last separator. Where that would leave
// nothing (a file in "/"), the folder is "/".
std::string FolderOfPath(std::string_view fullPath);

// What a path names on disk.
enum class PathKind { Missing, Folder, File };
PathKind LookUpPath(std::string_view path);

}  // namespace klxr
