#include "cli/file_operands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "cli/exit_status.h"
#include "platform/file_identity.h"

namespace klxr::cli {
namespace {

namespace fs = std::filesystem;

using platform::FileIdentity;

// Symbolic links followed before a chain counts as a loop (the kernel's own limit).
constexpr int kMaxLinkHops = 40;

// The file an operand names, when it exists: standard input or output for "-".
std::optional<FileIdentity> IdentityOf(const FileOperand& operand) {
  return IsStandardStream(operand.path) ? platform::IdentityOfStandardStream(operand.output)
                                        : platform::IdentityOfFile(operand.path);
}

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
