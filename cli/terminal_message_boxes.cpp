#include "cli/terminal_message_boxes.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace klxr::cli {

void TerminalMessageBoxes::Show(int /*index*/, std::string_view text, BoxKind /*kind*/) {
  err_ << text << '\n' << std::flush;
}

void TerminalMessageBoxes::ShowDetailed(int /*index*/, std::string_view text, BoxKind /*kind*/,
                                        std::string_view detail) {
  err_ << text << '\n' << detail << '\n' << std::flush;
}

Answer TerminalMessageBoxes::Ask(int /*index*/, std::string_view text) {
  err_ << text << " [y/n] " << std::flush;
  std::string line;
  if (!std::getline(in_, line)) {
    err_ << '\n' << std::flush;
    return Answer::Cancel;
  }
  return AnswerFromLine(line);
}

Answer AnswerFromLine(std::string_view line) {
  const auto isBlank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!line.empty() && isBlank(line.front())) {
    line.remove_prefix(1);
  }
  while (!line.empty() && isBlank(line.back())) {
    line.remove_suffix(1);
  }
  std::string word(line);
  std::transform(word.begin(), word.end(), word.begin(), [](char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  });
  if (word == "y" || word == "yes") {
    return Answer::Yes;
  }
  if (word == "n" || word == "no") {
    return Answer::No;
  }
  return Answer::Cancel;
}

}  // namespace klxr::cli
