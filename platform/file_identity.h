// Which file a name or a standard stream stands for, so that two names of one file (a link, a
// second hard link, "-" redirected to it) are known to be the same file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace klxr::platform {

struct FileIdentity {
  std::uint64_t device = 0;  // the device or volume
  std::uint64_t inode = 0;   // the file on it, shared by its hard links
  bool regular = true;       // a file on a disk, not a terminal, pipe or device
};

// The file the name stands for, after its links; nothing when it does not exist or the system
// cannot tell.
std::optional<FileIdentity> IdentityOfFile(const std::string& path);

// The file behind standard output (output) or standard input; nothing when the system cannot tell.
std::optional<FileIdentity> IdentityOfStandardStream(bool output);

}  // namespace klxr::platform
