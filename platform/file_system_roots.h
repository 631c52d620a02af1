// The roots a user may start a walk from: the drives ("c:\") on a system with drive letters;
// elsewhere "/" and the mount points of the file systems a user would pick (a real device holding a
// folder; no loop device, boot partition or system mount).
#pragma once

#include <string>
#include <vector>

namespace klxr::platform {

std::vector<std::string> FileSystemRoots();

}  // namespace klxr::platform
