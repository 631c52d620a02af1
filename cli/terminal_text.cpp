#include "cli/terminal_text.h"

#include <cctype>

#include "log/data_text.h"

namespace klxr::cli {

bool IsUtf8Codeset(std::string_view codeset) {
  std::string plain;
  for (const char c : codeset) {
    if (c != '-' && c != '_') {
      plain += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
  }
  return plain == "utf8";
}

std::string TextForOutput(std::string_view latin1, bool utf8) {
  return utf8 ? Latin1ToUtf8(latin1) : std::string(latin1);
}

}  // namespace klxr::cli
