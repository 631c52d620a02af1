// The desktop program's Reads kept in the survey archive: after a Read ends, complete or failed
// part-way with records, its image is archived. A problem with the archive is told once per run,
// in a box of its own, and never changes what the Read does.
#pragma once

#include <optional>
#include <string>

#include "archive/survey.h"
#include "link/com_access.h"
#include "log/log_image.h"
#include "resources/message_catalogue.h"

namespace klxr {

// The settings store's value that turns the archive off with "0".
inline constexpr char kArchiveSurveysSetting[] = "ArchiveSurveys";

// The text of the box that tells the archive's problem; its detail says which file and why.
inline constexpr char kArchiveProblemText[] =
    "The log was read, but it could not be kept in the survey archive. The program goes on "
    "without it until it is started again.";

class ReadArchiver {
 public:
  // file: the archive; empty turns archiving off.
  void Configure(std::string file) { file_ = std::move(file); }
  bool Enabled() const { return !file_.empty(); }
  const std::string& File() const { return file_; }

  // Archives the image of a Read that ended; its survey, or none when it was not kept (off, no
  // record of a failed Read, or a problem: told in a box the first time).
  std::optional<archive::SurveyId> Archive(const LogImage& image, bool complete,
                                           const ComAccess* port, MessageBoxes& boxes);

 private:
  std::string file_;
  bool problemTold_ = false;
};

// The archive file for the program: none when the build has no archive or the setting is "0".
std::string ProgramArchiveFile(const std::optional<std::string>& setting);

}  // namespace klxr
