#include "platform/long_name.h"

namespace klxr::platform {

// File names here have a single form.
std::string LongNameOf(std::string_view name) {
  return std::string(name);
}

}  // namespace klxr::platform
