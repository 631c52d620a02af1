#include "desktop/empty_log_save.h"

#include "log/log_files.h"

namespace klxr {

std::string EmptyLogSaveQuestion(const std::string& path, int fileRecords) {
  return "The log in the program holds no record.\nSaving it replaces \"" + path +
         "\", which holds " + std::to_string(fileRecords) +
         (fileRecords == 1 ? " record" : " records") +
         ", with an empty log.\n\nReplace the file with the empty log?";
}

bool ConfirmEmptyLogSave(const LogImage& image, const std::string& path, MessageBoxes& boxes) {
  if (CountRecords(image, nullptr) > 0) {
    return true;
  }
  const int fileRecords = CountFileRecords(path);
  if (fileRecords == 0) {
    return true;
  }
  return boxes.AskDefaultNo(msg::kOwnText, EmptyLogSaveQuestion(path, fileRecords)) == Answer::Yes;
}

}  // namespace klxr
