#include "resources/message_catalogue.h"

#include "resources/string_table.h"

namespace klxr {

void MessageBoxes::ShowDetailed(int index, std::string_view text, BoxKind kind,
                                std::string_view detail) {
  std::string whole(text);
  whole += "\n\n";
  whole += detail;
  Show(index, whole, kind);
}

Answer MessageBoxes::AskDefaultNo(int index, std::string_view text) {
  return Ask(index, text);
}

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
