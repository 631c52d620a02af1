// The stream operations every file read and write goes through, replaceable so that tests can
// simulate failing reads, writes and syncs, and the outcome of a file operation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>

namespace klxr {

// An empty function stands for the standard operation: std::fread, std::fwrite, and for sync the
// platform's flush to the disk (fsync, FlushFileBuffers). read and write return the number of
// bytes moved; fewer than asked means the end of the file or an error. sync returns false when the
// data could not be made durable.
struct FileHooks {
  std::function<std::size_t(std::FILE* stream, std::uint8_t* data, std::size_t size)> read;
  std::function<std::size_t(std::FILE* stream, const std::uint8_t* data, std::size_t size)> write;
  std::function<bool(std::FILE* stream)> sync;
};

enum class FileStatus {
  Ok,
  CannotOpen,   // reading: missing, not a regular file, or not readable; writing: the file cannot
                // be created (or written into)
  WriteFailed,  // writing: a write, the flush or the sync failed after the file was opened
};

// Reads from the stream into buffer until it is full or the stream ends; returns the count read.
std::size_t ReadUpTo(std::FILE* stream, std::span<std::uint8_t> buffer, const FileHooks& hooks);

// Writes every byte and flushes the stream; false when a write or the flush failed.
bool WriteAll(std::FILE* stream, std::span<const std::uint8_t> bytes, const FileHooks& hooks);

// Makes the stream's written data durable (after WriteAll); false when that failed.
bool SyncToDisk(std::FILE* stream, const FileHooks& hooks);

}  // namespace klxr
