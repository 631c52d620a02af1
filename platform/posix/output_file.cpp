// The POSIX file system's side of writing an output: links are followed to the end of their chain,
// the kind of file is read with stat, temporary files take the replaced file's owner and mode, and
// a rename is made durable by syncing the folder.
#include "platform/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <random>

namespace klxr::platform {
namespace {

// Symbolic links followed before a chain counts as a loop (the kernel's own limit).
constexpr int kMaxLinkHops = 40;
// Random temporary names tried before giving up; a name in use only moves on to the next.
constexpr int kTemporaryNameAttempts = 1000;
constexpr int kTemporaryRandomLength = 10;

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

ExistingFile ExistingFileOf(const struct stat& status) {
  return ExistingFile{
      static_cast<std::uint64_t>(status.st_dev),   static_cast<std::uint64_t>(status.st_ino),
      static_cast<std::uint64_t>(status.st_nlink), static_cast<std::uint32_t>(status.st_mode),
      static_cast<std::uint32_t>(status.st_uid),   static_cast<std::uint32_t>(status.st_gid)};
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool SameFile(const struct stat& a, const ExistingFile& b) {
  return static_cast<std::uint64_t>(a.st_dev) == b.device &&
         static_cast<std::uint64_t>(a.st_ino) == b.inode;
}

// Runs cleanup (removing a temporary file) without losing the reason of the failure before it.
template <typename Cleanup>
void KeepingErrno(Cleanup cleanup) {
  const int error = errno;
  cleanup();
  errno = error;
}

// A name that stat cannot look up: a dangling link stands for the file it would create, a loop or
// a name ending in a folder is refused.
OutputTarget MissingOrRefused(const std::string& path) {
  OutputTarget target;
  target.path = path;
  target.error = errno;
  const std::optional<std::string> end = errno == ENOENT ? FollowLinks(path) : std::nullopt;
  if (end && !NameOf(*end).empty()) {
    target.kind = OutputKind::Missing;
    target.path = *end;
  } else if (end) {
    target.error = EISDIR;
  } else if (target.error == ENOENT) {
    target.error = ELOOP;
  }
  errno = target.error;
  return target;
}

// A regular file: replaced beside the name at the end of the chain. A link the chain cannot
// explain (a descriptor link whose text is no path) keeps the given name, written in place.
OutputTarget RegularFile(const std::string& path, const struct stat& status) {
  OutputTarget target;
  target.kind = OutputKind::Regular;
  target.path = path;
  target.existing = ExistingFileOf(status);
  struct stat end {};
  const std::optional<std::string> endPath = FollowLinks(path);
  if (endPath && stat(endPath->c_str(), &end) == 0 && SameFile(end, status)) {
    target.path = *endPath;
  }
  return target;
}

OutputTarget Refused(const std::string& path, int error) {
  OutputTarget target;
  target.path = path;
  target.error = error;
  errno = error;
  return target;
}

bool IsStandardOutput(const ExistingFile& file) {
  for (const int fd : {STDOUT_FILENO, STDERR_FILENO}) {
    struct stat stream {};
    if (fstat(fd, &stream) == 0 && SameFile(stream, file)) {
      return true;
    }
  }
  return false;
}

// Opens a descriptor as a write stream; closes it when that fails.
std::FILE* StreamOf(int fd) {
  std::FILE* stream = fdopen(fd, "wb");
  if (stream == nullptr) {
    KeepingErrno([fd] { close(fd); });
  }
  return stream;
}

int CreateUniqueFile(const std::string& folder, mode_t mode, std::string& temporary) {
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
bool CopyIdentity(int fd, const ExistingFile& old) {
  if ((old.owner != geteuid() || old.group != getegid()) &&
      fchown(fd, static_cast<uid_t>(old.owner), static_cast<gid_t>(old.group)) != 0) {
    return false;
  }
  return fchmod(fd, static_cast<mode_t>(old.mode & 07777)) == 0;
}

void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
}

}  // namespace

OutputTarget FindOutputTarget(const std::string& path) {
  if (path.empty() || path.back() == '/') {
    return Refused(path, path.empty() ? ENOENT : EISDIR);
  }
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    return MissingOrRefused(path);
  }
  if (S_ISDIR(status.st_mode)) {
    return Refused(path, EISDIR);
  }
  if (!S_ISREG(status.st_mode)) {
    OutputTarget target;
    target.kind = OutputKind::Special;
    target.path = path;
    return target;
  }
  return RegularFile(path, status);
}

bool MayWrite(const OutputTarget& target) {
  if ((target.existing.mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    errno = EACCES;
    return false;
  }
  return access(target.path.c_str(), W_OK) == 0;
}

bool ReplacementKeepsIdentity(const OutputTarget& target) {
  return target.existing.links <= 1 && !IsStandardOutput(target.existing) &&
         access(FolderOf(target.path).c_str(), W_OK | X_OK) == 0;
}

int NewFileRefusal(const std::string& path) {
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

int SpecialFileRefusal(const std::string& path) {
  return access(path.c_str(), W_OK) == 0 ? 0 : errno;
}

int OpenSpecialFileToHold(const std::string& path, int& descriptor) {
  descriptor = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  return descriptor < 0 ? errno : 0;
}

void CloseHeldFile(int descriptor) {
  close(descriptor);
}

// The open does not wait; the writes afterwards are ordinary blocking ones.
std::FILE* OpenSpecialFile(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    return nullptr;
  }
  struct stat status {};
  if (fstat(fd, &status) != 0 || S_ISREG(status.st_mode) || S_ISDIR(status.st_mode)) {
    close(fd);  // swapped for another kind of file since it was looked at
    return nullptr;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return StreamOf(fd);
}

TemporaryFile CreateTemporaryBeside(const OutputTarget& target, bool replacing) {
  TemporaryFile temporary;
  std::string name;
  const int fd = CreateUniqueFile(FolderOf(target.path), replacing ? 0600 : 0666, name);
  if (fd < 0) {
    return temporary;
  }
  temporary.path = name;
  if (replacing && !CopyIdentity(fd, target.existing)) {
    close(fd);
    unlink(name.c_str());
    temporary.identityRefused = true;
    return temporary;
  }
  temporary.stream = StreamOf(fd);
  if (temporary.stream == nullptr) {
    KeepingErrno([&name] { unlink(name.c_str()); });
  }
  return temporary;
}

bool MoveOver(const std::filesystem::path& temporary, const std::string& path, bool) {
  if (rename(temporary.c_str(), path.c_str()) != 0) {
    return false;
  }
  SyncFolder(FolderOf(path));
  return true;
}

void RemoveFile(const std::filesystem::path& path) {
  unlink(path.c_str());
}

std::FILE* OpenInPlace(const std::string& path, std::uint64_t size, bool& reserveFailed) {
  reserveFailed = false;
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) {
    return nullptr;
  }
  if (const int reserved = size == 0 ? 0 : posix_fallocate(fd, 0, static_cast<off_t>(size));
      reserved != 0) {
    close(fd);
    errno = reserved;
    reserveFailed = true;
    return nullptr;
  }
  return StreamOf(fd);
}

bool CutToSize(std::FILE* stream, std::uint64_t size) {
  return ftruncate(fileno(stream), static_cast<off_t>(size)) == 0;
}

}  // namespace klxr::platform
