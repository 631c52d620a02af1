// Whole-file writes for every caller (the .tlg log, the CSV export, reports). A write never
// clobbers what it must not:
// - a symbolic link is followed to the end of its chain; a dangling link creates the file it names
//   and stays a link; a loop is a file that cannot be created;
// - a target that is not a regular file (a device, a FIFO, a socket, the terminal) is written into,
//   never replaced; a FIFO without a reader fails at once instead of waiting for one;
// - a regular file is replaced atomically: the bytes go to a temporary file under a short hidden
//   name in the same folder, which gets the old file's permission bits (and owner and group where
//   the process may set them), is synced to the disk and renamed over the target; then the folder
//   is synced. On a failure the temporary file is removed and the old file stays as it was;
// - where a replacement would change the file's identity (more than one hard link, an owner that
//   cannot be kept, a folder that is not writable, the file this process writes its standard
//   output to) the file is written in place, as a create-or-truncate would;
// - a file the user may not write is never replaced: it is a file that cannot be created. On POSIX
//   that is a file without any write permission bit (even for the superuser, as a read-only file
//   is on Windows) or one the process may not write (access); on Windows the read-only attribute.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "log/file_hooks.h"

namespace klxr {

// Replaces (or writes into) the file at path with the given bytes, as described above. Returns
// CannotOpen when the target is a folder, its folder is missing, or the file cannot be created,
// replaced or opened; WriteFailed when a write, the flush or the sync failed. On POSIX, errno then
// holds the system's reason (EISDIR for a folder, EACCES for a file the user may not write).
FileStatus ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes,
                       const FileHooks& hooks = {});
FileStatus ReplaceFile(const std::string& path, std::string_view text, const FileHooks& hooks = {});

// A device or FIFO that an output check opened, held open until the work that writes it is done:
// a FIFO's reader does not see the end of its input before the bytes come. Closed when destroyed.
class HeldOutput {
 public:
  HeldOutput() = default;
  HeldOutput(const HeldOutput&) = delete;
  HeldOutput& operator=(const HeldOutput&) = delete;
  ~HeldOutput();

  void Hold(int descriptor);
  bool Holding() const { return descriptor_ >= 0; }

 private:
  int descriptor_ = -1;
};

// What CheckFileCanBeWritten found besides its result.
struct OutputCheck {
  int error = 0;      // why the file cannot be written, as an errno value (0 when it can)
  HeldOutput output;  // a special file opened by the check
};

// Checks, without creating or changing anything, that ReplaceFile could write the file at path:
// its folder exists, it is not a folder or a link loop, and the user may write it (or, for a new
// file, its folder). Returns Ok or CannotOpen. With a check to fill, it also gives the reason of a
// refusal, and a device or FIFO is opened for writing without waiting and kept open in it (a FIFO
// without a reader is refused at once); without one, only its permissions are looked at.
FileStatus CheckFileCanBeWritten(const std::string& path, OutputCheck* check = nullptr);

}  // namespace klxr
