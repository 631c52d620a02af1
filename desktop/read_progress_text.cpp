#include "desktop/read_progress_text.h"

#include <algorithm>

namespace klxr {

std::string ReadProgressText(const ProgressView& view) {
  if (!view.running || view.total <= 0) {
    return {};
  }
  const int shown = std::clamp(view.shown, 0, view.total);
  return std::to_string(shown) + " of " + std::to_string(view.total) + " records";
}

}  // namespace klxr
