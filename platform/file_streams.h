// Opening a file for reading and making written data durable, the two stream operations whose
// system calls differ between platforms.
#pragma once

#include <cstdio>
#include <string>

namespace klxr::platform {

// Opens a regular file for reading; null for a missing or unreadable file and for anything that is
// not a regular file (a FIFO, socket, device or folder). The open never waits: a FIFO without a
// writer would block it.
std::FILE* OpenRegularFileForReading(const std::string& path);

// Flushes the stream's file to the disk (fsync, FlushFileBuffers); false when that failed.
bool SyncFileToDisk(std::FILE* stream);

}  // namespace klxr::platform
