// Whole-file reads and writes for the .tlg and CSV files, in standard C++ only.
//
// A write never leaves a half-written file under the target's name: the bytes go to a temporary
// file in the target's folder, which is moved over the target only after every byte was written
// and flushed (an atomic rename on POSIX, a replacing move on Windows). On a failure the temporary
// file is removed and an earlier file of the target's name stays as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace klxr {

// The two stream operations, replaceable so that tests can simulate failing reads and writes. An
// empty function stands for std::fread or std::fwrite. Each returns the number of bytes moved;
// fewer than asked means the end of the file or an error.
struct FileHooks {
  std::function<std::size_t(std::FILE* stream, std::uint8_t* data, std::size_t size)> read;
  std::function<std::size_t(std::FILE* stream, const std::uint8_t* data, std::size_t size)> write;
};

enum class FileStatus {
  Ok,
  CannotOpen,   // reading: missing, a folder, or not readable; writing: the file cannot be created
  WriteFailed,  // writing: a write or the flush failed after the file was created
};

// Reads the start of the file into buffer, at most buffer.size() bytes, and sets bytesRead to the
// number read. A file longer than the buffer fills it; a shorter one (or a failing read) leaves
// bytesRead below its size. Returns CannotOpen when the file cannot be opened for reading.
FileStatus ReadFileStart(const std::string& path, std::span<std::uint8_t> buffer,
                         std::size_t& bytesRead, const FileHooks& hooks = {});

// Replaces the file at path by the given bytes, as described above. Returns CannotOpen when the
// target is a folder, its folder is missing, or the file cannot be created or replaced.
FileStatus ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes,
                       const FileHooks& hooks = {});
FileStatus ReplaceFile(const std::string& path, std::string_view text, const FileHooks& hooks = {});

}  // namespace klxr
