#include "desktop/noting_message_boxes.h"

#include <cerrno>

namespace klxr {

void NotingMessageBoxes::Show(int index, std::string_view text, BoxKind kind) {
  Note(index, text);
  shown_.Show(index, text, kind);
}

void NotingMessageBoxes::ShowDetailed(int index, std::string_view text, BoxKind kind,
                                      std::string_view detail) {
  Note(index, text);
  shown_.ShowDetailed(index, text, kind, detail);
}

void NotingMessageBoxes::Forget() {
  last_.reset();
  errno = 0;
}

void NotingMessageBoxes::Note(int index, std::string_view text) {
  // errno first: showing the box may change it.
  const int systemError = errno;
  last_ = NotedBox{index, std::string(text), systemError};
}

}  // namespace klxr
