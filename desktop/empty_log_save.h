// Save with an empty log: before the program's log, holding no record (nothing read or loaded yet,
// or a Read that failed at once), replaces a file that holds records, the user is asked once more,
// with the file and its records named and No as the default. An empty log over a new file, an
// empty file or a file without records is saved without this question.
#pragma once

#include <string>

#include "log/log_image.h"
#include "resources/message_catalogue.h"

namespace klxr {

// The question: the file's path and how many records it holds.
std::string EmptyLogSaveQuestion(const std::string& path, int fileRecords);

// True when the image may be saved to path: it holds records, the file holds none, or the user
// answered Yes to the question.
bool ConfirmEmptyLogSave(const LogImage& image, const std::string& path, MessageBoxes& boxes);

}  // namespace klxr
