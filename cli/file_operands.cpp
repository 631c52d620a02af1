#include "cli/file_operands.h"

#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "cli/exit_status.h"

namespace klxr::cli {
namespace {

namespace fs = std::filesystem;

struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool regular = true;  // a file on a disk, not a terminal, pipe or device
};

// Symbolic links followed before a chain counts as a loop (the kernel's own limit).
constexpr int kMaxLinkHops = 40;

#ifdef _WIN32
// The file an operand names, when it exists: its volume and file index, which hard links share.
std::optional<FileIdentity> IdentityOf(const FileOperand& operand) {
  HANDLE handle = INVALID_HANDLE_VALUE;
  bool own = false;
  if (IsStandardStream(operand.path)) {
    handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(operand.output ? stdout : stdin)));
  } else {
    handle = CreateFileW(fs::path(operand.path).c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    own = true;
  }
  if (handle == INVALID_HANDLE_VALUE) {
    return std::nullopt;
  }
  BY_HANDLE_FILE_INFORMATION information{};
  const bool known = GetFileType(handle) == FILE_TYPE_DISK &&
                     GetFileInformationByHandle(handle, &information) != 0;
  if (own) {
    CloseHandle(handle);
  }
  if (!known) {
    return std::nullopt;
  }
  return FileIdentity{information.dwVolumeSerialNumber,
                      (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow,
                      true};
}
#else
// The file an operand names, when it exists: standard input or output for "-".
std::optional<FileIdentity> IdentityOf(const FileOperand& operand) {
  struct stat status {};
  const int result = IsStandardStream(operand.path)
                         ? fstat(operand.output ? fileno(stdout) : fileno(stdin), &status)
                         : stat(operand.path.c_str(), &status);
  if (result != 0) {
    return std::nullopt;
  }
  return FileIdentity{static_cast<std::uint64_t>(status.st_dev),
                      static_cast<std::uint64_t>(status.st_ino), S_ISREG(status.st_mode)};
}
#endif

// The path with every link resolved, for comparing names of files not yet made: a dangling link
// stands for the file it would create, so its chain is followed to the end as far as it goes.
std::string NormalPath(const std::string& path) {
  std::error_code error;
  fs::path current = fs::absolute(fs::path(path), error);
  if (error) {
    return path;
  }
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    const fs::path folder = fs::weakly_canonical(current.parent_path(), error);
    if (error) {
      break;
    }
    current = folder / current.filename();
    if (!fs::is_symlink(fs::symlink_status(current, error))) {
      break;
    }
    const fs::path target = fs::read_symlink(current, error);
    if (error) {
      break;
    }
    current = target.is_absolute() ? target : folder / target;
  }
  const fs::path normal = fs::weakly_canonical(current, error);
  return error ? current.lexically_normal().string() : normal.string();
}

bool SameFile(const FileOperand& a, const FileOperand& b) {
  const bool aStream = IsStandardStream(a.path);
  const bool bStream = IsStandardStream(b.path);
  if (aStream && bStream && a.output == b.output) {
    return true;
  }
  if (!aStream && !bStream && NormalPath(a.path) == NormalPath(b.path)) {
    return true;
  }
  // Standard input and standard output are the same file only when both are one file on a disk
  // (a command reading and writing one terminal or one device is fine).
  const std::optional<FileIdentity> first = IdentityOf(a);
  const std::optional<FileIdentity> second = IdentityOf(b);
  return first && second && first->device == second->device && first->inode == second->inode &&
         (!(aStream && bStream) || (first->regular && second->regular));
}

}  // namespace

bool IsStandardStream(const std::string& operand) {
  return operand == "-";
}

int RefuseSameFiles(CliContext& context, std::string_view command,
                    const std::vector<FileOperand>& operands) {
  for (std::size_t i = 0; i < operands.size(); ++i) {
    for (std::size_t j = i + 1; j < operands.size(); ++j) {
      const FileOperand& first = operands[i];
      const FileOperand& second = operands[j];
      if ((first.output || second.output) && SameFile(first, second)) {
        const std::string text = std::string(second.name) + " '" + second.path +
                                 "' is the same file as " + std::string(first.name) + " '" +
                                 first.path + "'";
        return ReportUsageError(context, command, text);
      }
    }
  }
  return kExitOk;
}

bool WriteToOutput(CliContext& context, std::string_view bytes) {
  errno = 0;
  context.out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  context.out.flush();
  if (!context.out) {
    ReportOutputFailure(context, errno);
    return false;
  }
  return true;
}

int ReportOutputFailure(CliContext& context, int error) {
  context.err << "klxr-log-cli: error writing standard output";
  if (error != 0) {
    context.err << ": " << std::strerror(error);
  }
  context.err << "\n" << std::flush;
  return kExitFailure;
}

}  // namespace klxr::cli
