// A message-box sink for tests: records every box and answers questions from a script.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "resources/message_catalogue.h"

namespace klxr::testing {

struct RecordedBox {
  int index;
  std::string text;
  BoxKind kind;
  bool operator==(const RecordedBox&) const = default;
};

class RecordingMessageBoxes : public MessageBoxes {
 public:
  void Show(int index, std::string_view text, BoxKind kind) override {
    boxes.push_back({index, std::string(text), kind});
    details.emplace_back();
  }
  void ShowDetailed(int index, std::string_view text, BoxKind kind,
                    std::string_view detail) override {
    boxes.push_back({index, std::string(text), kind});
    details.emplace_back(detail);
  }
  Answer Ask(int index, std::string_view text) override {
    boxes.push_back({index, std::string(text), BoxKind::Question});
    details.emplace_back();
    if (answers.empty()) {
      return Answer::Cancel;
    }
    Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  Answer AskDefaultNo(int index, std::string_view text) override {
    defaultNo.push_back(boxes.size());
    return Ask(index, text);
  }
  // The catalogue indexes of the boxes shown so far, in order.
  std::vector<int> Indexes() const {
    std::vector<int> result;
    for (const RecordedBox& box : boxes) {
      result.push_back(box.index);
    }
    return result;
  }

  std::vector<RecordedBox> boxes;
  std::vector<std::string> details;    // each box's detail, empty when it had none
  std::vector<std::size_t> defaultNo;  // the places in boxes of the questions whose default is No
  std::deque<Answer> answers;          // answers to the next questions; Cancel once they run out
};

}  // namespace klxr::testing
