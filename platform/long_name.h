// The long form of a file name, for file systems that keep names in two forms (a long name and a
// short 8.3 alias). Elsewhere every name is its own long form.
#pragma once

#include <string>
#include <string_view>

namespace klxr::platform {

// The long form of a name (relative names resolved against the current directory), or the name
// unchanged when it has no other form or none can be had.
std::string LongNameOf(std::string_view name);

}  // namespace klxr::platform
