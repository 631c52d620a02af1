// The program's message boxes, passed on unchanged to the boxes that show them, with a note of the
// last box that told the user something: its text and the system's error code (errno) at the
// moment it was raised. A command's outcome is derived from that note where the log and link code
// report only through boxes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "resources/message_catalogue.h"

namespace klxr {

struct NotedBox {
  int index = 0;
  std::string text;
  int systemError = 0;  // errno when the box was raised; 0 when none was set
};

class NotingMessageBoxes : public MessageBoxes {
 public:
  explicit NotingMessageBoxes(MessageBoxes& shown) : shown_(shown) {}

  void Show(int index, std::string_view text, BoxKind kind) override;
  void ShowDetailed(int index, std::string_view text, BoxKind kind,
                    std::string_view detail) override;
  Answer Ask(int index, std::string_view text) override { return shown_.Ask(index, text); }
  Answer AskDefaultNo(int index, std::string_view text) override {
    return shown_.AskDefaultNo(index, text);
  }

  // Forgets the last box and clears errno, before a command runs.
  void Forget();
  const std::optional<NotedBox>& LastBox() const { return last_; }

 private:
  void Note(int index, std::string_view text);

  MessageBoxes& shown_;
  std::optional<NotedBox> last_;
};

}  // namespace klxr
