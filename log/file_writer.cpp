// Which way each output is written (into it, replaced atomically, in place, or refused), over the
// file system's operations in platform/output_file.h.
#include "log/file_writer.h"

#include <cerrno>
#include <optional>

#include "platform/output_file.h"

namespace klxr {
namespace {

using platform::OutputKind;
using platform::OutputTarget;

// Runs cleanup (removing a temporary file) without losing the reason of the failure before it.
template <typename Cleanup>
void KeepingErrno(Cleanup cleanup) {
  const int error = errno;
  cleanup();
  errno = error;
}

// Writes the bytes to an open stream and closes it; syncs a file on a disk.
FileStatus WriteAndClose(std::FILE* stream, std::span<const std::uint8_t> bytes,
                         const FileHooks& hooks, bool sync) {
  if (stream == nullptr) {
    return FileStatus::CannotOpen;
  }
  const bool written = WriteAll(stream, bytes, hooks) && (!sync || SyncToDisk(stream, hooks));
  const int error = errno;
  const bool closed = std::fclose(stream) == 0;
  if (!written) {
    errno = error;
  }
  return written && closed ? FileStatus::Ok : FileStatus::WriteFailed;
}

// Writes over the file's own blocks. The room for the new contents is reserved before any old
// byte is touched, so a full disk (or the file-size limit) leaves the old contents as they were;
// the file is cut to the new length only once every byte is written.
FileStatus WriteInPlace(const std::string& path, std::span<const std::uint8_t> bytes,
                        const FileHooks& hooks) {
  bool reserveFailed = false;
  std::FILE* stream = platform::OpenInPlace(path, bytes.size(), reserveFailed);
  if (stream == nullptr) {
    return reserveFailed ? FileStatus::WriteFailed : FileStatus::CannotOpen;
  }
  const bool written = WriteAll(stream, bytes, hooks) &&
                       platform::CutToSize(stream, bytes.size()) && SyncToDisk(stream, hooks);
  const int error = errno;
  const bool closed = std::fclose(stream) == 0;
  if (!written) {
    errno = error;
  }
  return written && closed ? FileStatus::Ok : FileStatus::WriteFailed;
}

// Writes a temporary file beside the output and moves it over the output's name. Nothing when
// the old file's identity cannot be kept (the caller then writes in place).
std::optional<FileStatus> ReplaceAtomically(const OutputTarget& target, bool replacing,
                                            std::span<const std::uint8_t> bytes,
                                            const FileHooks& hooks) {
  const platform::TemporaryFile temporary = platform::CreateTemporaryBeside(target, replacing);
  if (temporary.identityRefused) {
    return std::nullopt;
  }
  const FileStatus written = WriteAndClose(temporary.stream, bytes, hooks, true);
  if (written != FileStatus::Ok) {
    if (temporary.stream != nullptr) {
      KeepingErrno([&temporary] { platform::RemoveFile(temporary.path); });
    }
    return written;
  }
  if (!platform::MoveOver(temporary.path, target.path, replacing)) {
    KeepingErrno([&temporary] { platform::RemoveFile(temporary.path); });
    return FileStatus::CannotOpen;
  }
  return FileStatus::Ok;
}

FileStatus ReplaceRegularFile(const OutputTarget& target, std::span<const std::uint8_t> bytes,
                              const FileHooks& hooks) {
  if (!platform::MayWrite(target)) {
    return FileStatus::CannotOpen;
  }
  if (platform::ReplacementKeepsIdentity(target)) {
    if (const std::optional<FileStatus> status = ReplaceAtomically(target, true, bytes, hooks)) {
      return *status;
    }
  }
  return WriteInPlace(target.path, bytes, hooks);
}

// Why a regular file may not be written (0 when it may).
int RegularRefusal(const OutputTarget& target) {
  errno = 0;
  if (platform::MayWrite(target)) {
    return 0;
  }
  return errno != 0 && errno != ENOENT ? errno : EACCES;
}

// Why a special file may not be written (0 when it may); with a check to fill, the file is opened
// without waiting and held in it.
int SpecialRefusal(const std::string& path, OutputCheck* check) {
  if (check == nullptr) {
    return platform::SpecialFileRefusal(path);
  }
  int descriptor = -1;
  const int error = platform::OpenSpecialFileToHold(path, descriptor);
  if (error == 0 && descriptor >= 0) {
    check->output.Hold(descriptor);
  }
  return error;
}

}  // namespace

FileStatus ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes,
                       const FileHooks& hooks) {
  const OutputTarget target = platform::FindOutputTarget(path);
  switch (target.kind) {
    case OutputKind::Missing:
      return ReplaceAtomically(target, false, bytes, hooks).value_or(FileStatus::CannotOpen);
    case OutputKind::Regular:
      return ReplaceRegularFile(target, bytes, hooks);
    case OutputKind::Special:
      return WriteAndClose(platform::OpenSpecialFile(target.path), bytes, hooks, false);
    case OutputKind::Refused:
      break;
  }
  return FileStatus::CannotOpen;
}

FileStatus ReplaceFile(const std::string& path, std::string_view text, const FileHooks& hooks) {
  return ReplaceFile(
      path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), hooks);
}

HeldOutput::~HeldOutput() {
  if (descriptor_ >= 0) {
    platform::CloseHeldFile(descriptor_);
  }
}

void HeldOutput::Hold(int descriptor) {
  if (descriptor_ >= 0) {
    platform::CloseHeldFile(descriptor_);
  }
  descriptor_ = descriptor;
}

FileStatus CheckFileCanBeWritten(const std::string& path, OutputCheck* check) {
  const OutputTarget target = platform::FindOutputTarget(path);
  int error = target.error;
  switch (target.kind) {
    case OutputKind::Missing:
      error = platform::NewFileRefusal(target.path);
      break;
    case OutputKind::Regular:
      error = RegularRefusal(target);
      break;
    case OutputKind::Special:
      error = SpecialRefusal(target.path, check);
      break;
    case OutputKind::Refused:
      break;
  }
  if (target.kind == OutputKind::Refused && error == 0) {
    error = EINVAL;
  }
  if (check != nullptr) {
    check->error = error;
  }
  return error == 0 ? FileStatus::Ok : FileStatus::CannotOpen;
}

}  // namespace klxr
