// The file operands of the commands. "-" stands for standard input as a log to read and for
// standard output as a file to write; a file literally named "-" is reached as "./-". An output is
// never the same file as the command's input or its other output.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_command.h"

namespace klxr::cli {

bool IsStandardStream(const std::string& operand);

struct FileOperand {
  std::string path;
  std::string_view name;  // as the help names it: "LOG.tlg", "OUT.csv"
  bool output = false;
};

// Reports a usage error (exit status 2) when an output names the same file as another operand:
// the same path, or the same device and inode. Returns kExitOk when they are all distinct.
int RefuseSameFiles(CliContext& context, std::string_view command,
                    const std::vector<FileOperand>& operands);

// Writes the bytes to the command's output and flushes it. A failure is reported on the error
// stream with the reason, and gives false.
bool WriteToOutput(CliContext& context, std::string_view bytes);

// Reports that standard output could not be written (error: the errno of the failure, 0 when
// unknown); returns kExitFailure.
int ReportOutputFailure(CliContext& context, int error);

}  // namespace klxr::cli
