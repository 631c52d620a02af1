// Whole-file reads for every caller. A read never blocks: the file is opened without waiting and
// only a regular file is read. A FIFO, socket, device or folder is a file that cannot be opened.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "log/file_hooks.h"

namespace klxr {

// Reads the start of the file into buffer, at most buffer.size() bytes, and sets bytesRead to the
// number read. A file longer than the buffer fills it; a shorter one (or a failing read) leaves
// bytesRead below its size. Returns CannotOpen when the file cannot be opened for reading or is
// not a regular file.
FileStatus ReadFileStart(const std::string& path, std::span<std::uint8_t> buffer,
                         std::size_t& bytesRead, const FileHooks& hooks = {});

// The same from an open stream (standard input), whatever kind of file it is.
FileStatus ReadStreamStart(std::FILE* stream, std::span<std::uint8_t> buffer,
                           std::size_t& bytesRead, const FileHooks& hooks = {});

}  // namespace klxr
