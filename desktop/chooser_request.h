// The file chooser's request: what the caller asks for before the chooser opens, and what it finds
// there afterwards (the chosen file and the folder to remember). Each text has the capacity of its
// buffer, the terminator included.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "desktop/folder_paths.h"

namespace klxr {

inline constexpr std::size_t kDefaultExtensionCapacity = 32;
inline constexpr std::size_t kExtensionFilterCapacity = 256;

struct ChooserRequest {
  // In: the name field's first text. Out: the chosen file's full path, empty when none was chosen.
  std::string ChosenPath;
  // In: a copy of StartFolder. Out: the folder to remember.
  std::string ChooserFolder;
  // In: the folder listed first.
  std::string StartFolder;
  // In: appended in save mode to a new name without a "."; e.g. ".tlg".
  std::string DefaultExtension;
  // In: the extensions of the files listed, each followed by ";"; e.g. ".tlg;".
  std::string ExtensionFilter;
  // In: false to choose an existing file to read, true to choose a file to write.
  bool SaveMode = false;
};

// A text cut to fit a buffer of the given capacity with its terminator.
inline std::string FitCapacity(std::string_view text, std::size_t capacity) {
  return std::string(text.substr(0, capacity == 0 ? 0 : capacity - 1));
}

}  // namespace klxr
