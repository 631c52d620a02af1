// Texts for a terminal: the log's names are 8-bit Latin-1 bytes, which a UTF-8 terminal shows
// only once converted. Anything else (a file, a pipe, a terminal of another codeset) gets the
// bytes unchanged, as the log holds them.
#pragma once

#include <string>
#include <string_view>

namespace klxr::cli {

// True for the names a system gives the UTF-8 codeset: "UTF-8", "utf8", "UTF8" (case and dashes
// ignored).
bool IsUtf8Codeset(std::string_view codeset);

// The bytes converted to UTF-8 when utf8 is true; else unchanged.
std::string TextForOutput(std::string_view latin1, bool utf8);

}  // namespace klxr::cli
