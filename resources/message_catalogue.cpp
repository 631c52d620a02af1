#include "resources/message_catalogue.h"

#include "resources/string_table.h"

namespace klxr {

std::string LoadText(int index, std::size_t capacity) {
  std::string_view text = LoadString(MessageIndexTable[static_cast<std::size_t>(index)]);
  if (capacity == 0) {
    return {};
  }
  return std::string(text.substr(0, capacity - 1));
}

void ShowMessage(MessageBoxes& boxes, int index, BoxKind kind) {
  boxes.Show(index, LoadText(index), kind);
}

void ShowMessage(MessageBoxes& boxes, int index, BoxKind kind, std::string_view detail) {
  boxes.ShowDetailed(index, LoadText(index), kind, detail);
}

Answer AskQuestion(MessageBoxes& boxes, int index) {
  return boxes.Ask(index, LoadText(index));
}

}  // namespace klxr
