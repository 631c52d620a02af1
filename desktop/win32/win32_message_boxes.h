// The program's message boxes on Win32: MessageBox with the program's caption and the kind's icon
// and buttons, task-modal (no owner; every window of the program is blocked until the box is
// answered). A detail follows the catalogue's text after an empty line.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "resources/message_catalogue.h"

namespace klxr::win32 {

// The MessageBox style of a box of the given kind; a question offers Yes, No and Cancel, with No
// as the default button when defaultNo is set.
UINT MessageBoxStyle(BoxKind kind, bool defaultNo = false);

// The answer of a question from MessageBox's result; closing the box counts as Cancel.
Answer AnswerOf(int result);

class Win32MessageBoxes : public MessageBoxes {
 public:
  // caption: the program's caption, the title of every box.
  explicit Win32MessageBoxes(std::string caption);

  void Show(int index, std::string_view text, BoxKind kind) override;
  Answer Ask(int index, std::string_view text) override;
  Answer AskDefaultNo(int index, std::string_view text) override;

 private:
  std::string caption_;
};

}  // namespace klxr::win32
