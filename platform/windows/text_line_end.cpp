#include "platform/text_line_end.h"

namespace klxr::platform {

std::string_view TextLineEnd() {
  return "\r\n";
}

}  // namespace klxr::platform
