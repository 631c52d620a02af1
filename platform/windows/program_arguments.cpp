#include "platform/program_arguments.h"

#include <windows.h>

#include <shellapi.h>  // after windows.h, which it needs

#include <optional>

namespace klxr::platform {
namespace {

// The code page the ANSI file functions use: the ANSI one unless the program set the OEM one.
UINT FileNameCodePage() {
  return AreFileApisANSI() ? CP_ACP : CP_OEMCP;
}

// The 8-bit form of a wide text; none when a character has no place in it (no best-fit letters:
// "ł" must not become an "l" that names another file).
std::optional<std::string> NarrowForm(const std::wstring& wide) {
  if (wide.empty()) {
    return std::string();
  }
  const int wideLength = static_cast<int>(wide.size());
  BOOL lossy = FALSE;
  const int length = WideCharToMultiByte(FileNameCodePage(), WC_NO_BEST_FIT_CHARS, wide.data(),
                                         wideLength, nullptr, 0, nullptr, &lossy);
  if (length <= 0 || lossy != FALSE) {
    return std::nullopt;
  }
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(FileNameCodePage(), WC_NO_BEST_FIT_CHARS, wide.data(), wideLength,
                      narrow.data(), length, nullptr, nullptr);
  return narrow;
}

// The short alias of an existing file's name; empty when it has none.
std::wstring ShortName(const std::wstring& name) {
  const DWORD needed = GetShortPathNameW(name.c_str(), nullptr, 0);
  if (needed == 0) {
    return {};
  }
  std::wstring alias(needed, L'\0');
  const DWORD written = GetShortPathNameW(name.c_str(), alias.data(), needed);
  if (written == 0 || written >= needed) {
    return {};
  }
  alias.resize(written);
  return alias;
}

std::string ArgumentOf(const std::wstring& wide, const char* fallback) {
  if (std::optional<std::string> narrow = NarrowForm(wide)) {
    return *narrow;
  }
  if (std::optional<std::string> alias = NarrowForm(ShortName(wide)); alias && !alias->empty()) {
    return *alias;
  }
  return fallback != nullptr ? std::string(fallback) : std::string();
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, const char* const* argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  if (wide == nullptr || count != argc) {
    // The wide command line does not match argv (it cannot be read): argv as the runtime made it.
    for (int i = 1; i < argc; ++i) {
      arguments.emplace_back(argv[i]);
    }
  } else {
    for (int i = 1; i < count; ++i) {
      arguments.push_back(ArgumentOf(wide[i], argv[i]));
    }
  }
  if (wide != nullptr) {
    LocalFree(wide);
  }
  return arguments;
}

}  // namespace klxr::platform
