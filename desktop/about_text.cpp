#include "desktop/about_text.h"

#include <cstdio>

namespace klxr {

std::string AboutText(std::string_view productLine, int major, int minor) {
  char text[128];
  std::snprintf(text, sizeof text, "%.*s Meter V%d.%02d", static_cast<int>(productLine.size()),
                productLine.data(), major, minor);
  return text;
}

}  // namespace klxr
