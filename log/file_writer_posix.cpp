// The POSIX side of ReplaceFile: where the bytes go, and the three ways of writing them (into a
// special file, atomically beside a regular file, in place).
#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <random>

#include "log/file_writer.h"

namespace klxr {
namespace {

// Symbolic links followed before a chain counts as a loop (the kernel's own limit).
constexpr int kMaxLinkHops = 40;
// Random temporary names tried before giving up; a name in use only moves on to the next.
constexpr int kTemporaryNameAttempts = 1000;
constexpr int kTemporaryRandomLength = 10;

enum class TargetKind { Missing, Regular, Special, Refused };

struct WriteTarget {
  TargetKind kind = TargetKind::Refused;
  std::string path;  // the name at the end of the link chain (Missing, Regular); else as given
  struct stat status {};
  int error = 0;  // why it is refused
};

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) {
    return ".";
  }
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The name at the end of a chain of symbolic links (the path itself when it is no link); nothing
// for a loop or a name that cannot be looked up.
std::optional<std::string> FollowLinks(std::string path) {
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) {
      return errno == ENOENT ? std::optional(path) : std::nullopt;
    }
    if (!S_ISLNK(status.st_mode)) {
      return path;
    }
    std::string link(static_cast<std::size_t>(status.st_size) + 256, '\0');
    const ssize_t length = readlink(path.c_str(), link.data(), link.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= link.size()) {
      return std::nullopt;
    }
    link.resize(static_cast<std::size_t>(length));
    path = link[0] == '/' ? link : FolderOf(path) + "/" + link;
  }
  return std::nullopt;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Runs cleanup (removing a temporary file) without losing the reason of the failure before it.
template <typename Cleanup>
void KeepingErrno(Cleanup cleanup) {
  const int error = errno;
  cleanup();
  errno = error;
}

WriteTarget FindTarget(const std::string& path) {
  WriteTarget target;
  target.path = path;
  if (path.empty() || path.back() == '/') {
    target.error = path.empty() ? ENOENT : EISDIR;
    errno = target.error;
    return target;
  }
  if (stat(path.c_str(), &target.status) != 0) {
    target.error = errno;
    const std::optional<std::string> end = errno == ENOENT ? FollowLinks(path) : std::nullopt;
    if (end && !NameOf(*end).empty()) {
      target.kind = TargetKind::Missing;
      target.path = *end;
    } else if (end) {
      target.error = EISDIR;
    } else if (target.error == ENOENT) {
      target.error = ELOOP;
    }
    errno = target.error;
    return target;
  }
  if (S_ISDIR(target.status.st_mode)) {
    target.error = EISDIR;
    errno = EISDIR;
    return target;
  }
  if (!S_ISREG(target.status.st_mode)) {
    target.kind = TargetKind::Special;
    return target;
  }
  // A regular file: replaced beside the name at the end of the chain. A link the chain cannot
  // explain (a descriptor link whose text is no path) keeps the given name, written in place.
  target.kind = TargetKind::Regular;
  struct stat end {};
  const std::optional<std::string> endPath = FollowLinks(path);
  if (endPath && stat(endPath->c_str(), &end) == 0 && SameFile(end, target.status)) {
    target.path = *endPath;
  }
  return target;
}

bool MayWrite(const std::string& path, const struct stat& status) {
  if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    errno = EACCES;
    return false;
  }
  return access(path.c_str(), W_OK) == 0;
}

bool IsStandardOutput(const struct stat& status) {
  for (const int fd : {STDOUT_FILENO, STDERR_FILENO}) {
    struct stat stream {};
    if (fstat(fd, &stream) == 0 && SameFile(stream, status)) {
      return true;
    }
  }
  return false;
}

// Writes the bytes to an open descriptor and closes it; syncs a regular file.
FileStatus WriteAndClose(int fd, std::span<const std::uint8_t> bytes, const FileHooks& hooks,
                         bool sync) {
  std::FILE* stream = fdopen(fd, "wb");
  if (stream == nullptr) {
    KeepingErrno([fd] { close(fd); });
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

// Writes over the file's own blocks. The space for the new contents is reserved before any old
// byte is touched, so a full disk (or the file-size limit) leaves the old contents as they were;
// the file is cut to the new length only once every byte is written.
FileStatus WriteInPlace(const std::string& path, std::span<const std::uint8_t> bytes,
                        const FileHooks& hooks) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) {
    return FileStatus::CannotOpen;
  }
  const auto size = static_cast<off_t>(bytes.size());
  if (const int reserved = bytes.empty() ? 0 : posix_fallocate(fd, 0, size); reserved != 0) {
    close(fd);
    errno = reserved;
    return FileStatus::WriteFailed;
  }
  std::FILE* stream = fdopen(fd, "wb");
  if (stream == nullptr) {
    KeepingErrno([fd] { close(fd); });
    return FileStatus::CannotOpen;
  }
  const bool written =
      WriteAll(stream, bytes, hooks) && ftruncate(fd, size) == 0 && SyncToDisk(stream, hooks);
  const int error = errno;
  const bool closed = std::fclose(stream) == 0;
  if (!written) {
    errno = error;
  }
  return written && closed ? FileStatus::Ok : FileStatus::WriteFailed;
}

// A device, FIFO or socket: opened without waiting (a FIFO without a reader fails at once), then
// written with ordinary blocking writes.
FileStatus WriteIntoSpecialFile(const std::string& path, std::span<const std::uint8_t> bytes,
                                const FileHooks& hooks) {
  const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    return FileStatus::CannotOpen;
  }
  struct stat status {};
  if (fstat(fd, &status) != 0 || S_ISREG(status.st_mode) || S_ISDIR(status.st_mode)) {
    close(fd);  // swapped for another kind of file since it was looked at
    return FileStatus::CannotOpen;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return WriteAndClose(fd, bytes, hooks, false);
}

// Creates a new temporary file in folder under a short random hidden name, independent of the
// target's name, so that neither a long name nor leftover files can block it.
int CreateTemporaryFile(const std::string& folder, mode_t mode, std::string& temporary) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::mt19937_64 random(std::random_device{}());
  std::uniform_int_distribution<std::size_t> pick(0, sizeof(kLetters) - 2);
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    temporary = folder + "/.klxr-";
    for (int index = 0; index < kTemporaryRandomLength; ++index) {
      temporary += kLetters[pick(random)];
    }
    const int fd =
        open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) {
      return fd;
    }
  }
  return -1;
}

// Gives the temporary file the identity of the file it replaces; false when that is not allowed.
bool CopyIdentity(int fd, const struct stat& old) {
  if ((old.st_uid != geteuid() || old.st_gid != getegid()) &&
      fchown(fd, old.st_uid, old.st_gid) != 0) {
    return false;
  }
  return fchmod(fd, old.st_mode & 07777) == 0;
}

void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
}

// Writes a temporary file and renames it over path. Nothing when the old file's identity cannot be
// kept (the caller then writes in place).
std::optional<FileStatus> ReplaceAtomically(const std::string& path, const struct stat* old,
                                            std::span<const std::uint8_t> bytes,
                                            const FileHooks& hooks) {
  const std::string folder = FolderOf(path);
  std::string temporary;
  const int fd = CreateTemporaryFile(folder, old != nullptr ? 0600 : 0666, temporary);
  if (fd < 0) {
    return FileStatus::CannotOpen;
  }
  if (old != nullptr && !CopyIdentity(fd, *old)) {
    close(fd);
    unlink(temporary.c_str());
    return std::nullopt;
  }
  const FileStatus written = WriteAndClose(fd, bytes, hooks, true);
  if (written != FileStatus::Ok) {
    KeepingErrno([&temporary] { unlink(temporary.c_str()); });
    return written;
  }
  if (rename(temporary.c_str(), path.c_str()) != 0) {
    KeepingErrno([&temporary] { unlink(temporary.c_str()); });
    return FileStatus::CannotOpen;
  }
  SyncFolder(folder);
  return FileStatus::Ok;
}

bool KeepsIdentityWhenReplaced(const WriteTarget& target) {
  return target.status.st_nlink <= 1 && !IsStandardOutput(target.status) &&
         access(FolderOf(target.path).c_str(), W_OK | X_OK) == 0;
}

FileStatus ReplaceRegularFile(const WriteTarget& target, std::span<const std::uint8_t> bytes,
                              const FileHooks& hooks) {
  if (!MayWrite(target.path, target.status)) {
    return FileStatus::CannotOpen;
  }
  if (KeepsIdentityWhenReplaced(target)) {
    if (const std::optional<FileStatus> status =
            ReplaceAtomically(target.path, &target.status, bytes, hooks)) {
      return *status;
    }
  }
  return WriteInPlace(target.path, bytes, hooks);
}

}  // namespace

FileStatus ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes,
                       const FileHooks& hooks) {
  const WriteTarget target = FindTarget(path);
  switch (target.kind) {
    case TargetKind::Missing:
      return ReplaceAtomically(target.path, nullptr, bytes, hooks).value_or(FileStatus::CannotOpen);
    case TargetKind::Regular:
      return ReplaceRegularFile(target, bytes, hooks);
    case TargetKind::Special:
      return WriteIntoSpecialFile(target.path, bytes, hooks);
    case TargetKind::Refused:
      break;
  }
  return FileStatus::CannotOpen;
}

namespace {

// Why a new file could not be made in its folder (0 when it could).
int FolderRefusal(const std::string& path) {
  struct stat folder {};
  const std::string folderPath = FolderOf(path);
  if (stat(folderPath.c_str(), &folder) != 0) {
    return errno;
  }
  if (!S_ISDIR(folder.st_mode)) {
    return ENOTDIR;
  }
  return access(folderPath.c_str(), W_OK | X_OK) == 0 ? 0 : errno;
}

// Why a regular file may not be written (0 when it may).
int RegularRefusal(const WriteTarget& target) {
  errno = 0;
  if (MayWrite(target.path, target.status)) {
    return 0;
  }
  return errno != 0 && errno != ENOENT ? errno : EACCES;
}

// Opens a device or FIFO for writing without waiting and hands it to held; why not (0 when open).
int OpenSpecialFile(const std::string& path, HeldOutput& held) {
  const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    return errno;
  }
  held.Hold(fd);
  return 0;
}

}  // namespace

HeldOutput::~HeldOutput() {
  if (descriptor_ >= 0) {
    close(descriptor_);
  }
}

void HeldOutput::Hold(int descriptor) {
  if (descriptor_ >= 0) {
    close(descriptor_);
  }
  descriptor_ = descriptor;
}

FileStatus CheckFileCanBeWritten(const std::string& path, OutputCheck* check) {
  const WriteTarget target = FindTarget(path);
  int error = target.error;
  switch (target.kind) {
    case TargetKind::Missing:
      error = FolderRefusal(target.path);
      break;
    case TargetKind::Regular:
      error = RegularRefusal(target);
      break;
    case TargetKind::Special:
      error = check != nullptr                         ? OpenSpecialFile(target.path, check->output)
              : access(target.path.c_str(), W_OK) == 0 ? 0
                                                       : errno;
      break;
    case TargetKind::Refused:
      break;
  }
  if (target.kind == TargetKind::Refused && error == 0) {
    error = EINVAL;
  }
  if (check != nullptr) {
    check->error = error;
  }
  return error == 0 ? FileStatus::Ok : FileStatus::CannotOpen;
}

}  // namespace klxr

#endif
