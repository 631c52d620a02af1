#include "desktop/win32/win32_message_boxes.h"

#include <utility>

namespace klxr::win32 {
namespace {

int RunBox(const std::string& caption, std::string_view text, UINT style) {
  const std::string whole(text);
  return MessageBoxA(nullptr, whole.c_str(), caption.c_str(), style);
}

}  // namespace

UINT MessageBoxStyle(BoxKind kind, bool defaultNo) {
  // The plain box blocks the program too, so that no menu command starts while it is up.
  switch (kind) {
    case BoxKind::Error:
      return MB_OK | MB_ICONERROR | MB_TASKMODAL;
    case BoxKind::Information:
      return MB_OK | MB_ICONINFORMATION | MB_TASKMODAL;
    case BoxKind::Question:
      return MB_YESNOCANCEL | MB_ICONQUESTION | MB_TASKMODAL |
             (defaultNo ? MB_DEFBUTTON2 : MB_DEFBUTTON1);
    case BoxKind::Plain:
      return MB_OK | MB_TASKMODAL;
  }
  return MB_OK | MB_TASKMODAL;
}

Answer AnswerOf(int result) {
  switch (result) {
    case IDYES:
      return Answer::Yes;
    case IDNO:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

Win32MessageBoxes::Win32MessageBoxes(std::string caption) : caption_(std::move(caption)) {}

void Win32MessageBoxes::Show(int /*index*/, std::string_view text, BoxKind kind) {
  RunBox(caption_, text, MessageBoxStyle(kind));
}

Answer Win32MessageBoxes::Ask(int /*index*/, std::string_view text) {
  return AnswerOf(RunBox(caption_, text, MessageBoxStyle(BoxKind::Question)));
}

Answer Win32MessageBoxes::AskDefaultNo(int /*index*/, std::string_view text) {
  return AnswerOf(RunBox(caption_, text, MessageBoxStyle(BoxKind::Question, true)));
}

}  // namespace klxr::win32
