// The program's message boxes on a terminal: a box is its catalogue text on standard error; a
// question is asked there too and answered on standard input (y or yes: Yes; n or no: No; anything
// else or the end of the input: Cancel).
#pragma once

#include <istream>
#include <ostream>
#include <string_view>

#include "resources/message_catalogue.h"

namespace klxr::cli {

class TerminalMessageBoxes : public MessageBoxes {
 public:
  TerminalMessageBoxes(std::istream& in, std::ostream& err) : in_(in), err_(err) {}

  void Show(int index, std::string_view text, BoxKind kind) override;
  // The box's text, then its detail on a line of its own.
  void ShowDetailed(int index, std::string_view text, BoxKind kind,
                    std::string_view detail) override;
  Answer Ask(int index, std::string_view text) override;

 private:
  std::istream& in_;
  std::ostream& err_;
};

// The answer a typed line stands for: case and surrounding blanks do not matter.
Answer AnswerFromLine(std::string_view line);

}  // namespace klxr::cli
