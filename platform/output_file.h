// The file system's side of writing an output file: what lies at the name, and the operations of
// the three ways of getting bytes into it (into a special file, through a temporary file moved
// over the name, over the file's own blocks). Which way a file takes is decided by the file writer
// (log/file_writer.cpp); every function here sets errno to the system's reason when it fails.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace klxr::platform {

enum class OutputKind {
  Missing,  // nothing is there yet: writing makes a new file
  Regular,  // a regular file
  Special,  // a device, FIFO, socket or terminal: written into, never replaced
  Refused,  // a folder, a link loop, or a name that cannot be looked up
};

// What the system knows of an existing regular file; a system without a field leaves its default.
struct ExistingFile {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t links = 1;
  std::uint32_t mode = 0;  // type and permission bits
  std::uint32_t owner = 0;
  std::uint32_t group = 0;
};

// What lies at the name of an output.
struct OutputTarget {
  OutputKind kind = OutputKind::Refused;
  std::string path;  // the name at the end of a chain of links (Missing, Regular); else as given
  int error = 0;     // why the name is refused (Refused), or why it could not be looked up
  ExistingFile existing;  // Regular
};

// Looks at the name without opening or changing anything.
OutputTarget FindOutputTarget(const std::string& path);

// Whether the user may write the regular file; on a refusal errno holds the reason. A file without
// any write permission (read-only) is refused even for the superuser.
bool MayWrite(const OutputTarget& target);

// Whether replacing the regular file by a new one keeps what other holders of the file see: it has
// no second hard link, it is not where this process's standard output or error goes, and its
// folder lets the new file in.
bool ReplacementKeepsIdentity(const OutputTarget& target);

// Why a new file could not be made at this name in its folder, as an errno value (0 when it can).
int NewFileRefusal(const std::string& path);

// Why a special file may not be written, as an errno value (0 when it may).
int SpecialFileRefusal(const std::string& path);

// Opens a special file for writing without waiting (a FIFO without a reader is refused at once),
// for holding it open until the output comes. Returns the errno value of a refusal, else 0 with
// the open descriptor in descriptor (-1 where the system has nothing to hold).
int OpenSpecialFileToHold(const std::string& path, int& descriptor);

// Closes a descriptor that OpenSpecialFileToHold gave.
void CloseHeldFile(int descriptor);

// Opens a special file as a stream for ordinary blocking writes; the open itself does not wait.
// Null when it cannot be opened or has turned into a regular file or folder meanwhile.
std::FILE* OpenSpecialFile(const std::string& path);

// A new file beside an output under a short random hidden name, independent of the output's name,
// so that neither a long name nor leftover files can block it.
struct TemporaryFile {
  std::FILE* stream = nullptr;  // open for writing; null when no file could be made
  std::filesystem::path path;
  bool identityRefused = false;  // the replaced file's owner or permissions could not be given
                                 // to it (it is removed again)
};

// Makes the temporary file in the folder of target.path. When replacing, it gets the regular
// file's permission bits (and owner and group where the process may set them).
TemporaryFile CreateTemporaryBeside(const OutputTarget& target, bool replacing);

// Moves the written temporary file over the output's name (replacing the file there) and makes the
// folder's change durable where the system allows; false when it could not be moved.
bool MoveOver(const std::filesystem::path& temporary, const std::string& path, bool replacing);

// Removes a file (a temporary one that is no longer wanted).
void RemoveFile(const std::filesystem::path& path);

// Opens the regular file (made when missing) for writing over its own blocks, with room for size
// bytes reserved first, so that a full disk fails before any old byte is touched. Null when it
// cannot be opened; reserveFailed tells that it was opened but the room could not be had.
std::FILE* OpenInPlace(const std::string& path, std::uint64_t size, bool& reserveFailed);

// Cuts the stream's file to size bytes, once the new contents are written.
bool CutToSize(std::FILE* stream, std::uint64_t size);

}  // namespace klxr::platform
