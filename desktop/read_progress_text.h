// What the main window tells assistive technology about its progress bar, which is painted rather
// than a control of its own: its name, and how far a Read has come as words.
#pragma once

#include <string>
#include <string_view>

#include "desktop/desktop_shell.h"

namespace klxr {

inline constexpr std::string_view kReadProgressName = "Read progress";

// "812 of 1568 records" while a Read runs; empty while none does or before its size is known.
std::string ReadProgressText(const ProgressView& view);

}  // namespace klxr
