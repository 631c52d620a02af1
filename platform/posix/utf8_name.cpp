#include "platform/utf8_name.h"

namespace klxr::platform {

std::optional<std::string> Utf8NameOf(std::string_view name) {
  return std::string(name);
}

}  // namespace klxr::platform
