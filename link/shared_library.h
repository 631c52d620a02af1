// The operating system's side of loading the driver: opening a shared library through the system's
// own search, finding an exported function in it, closing it, and reading the environment variable
// that can name another library. Every platform branch of the link layer lives in
// shared_library.cpp.
#pragma once

#include <string>

namespace klxr::platform {

// An open shared library; null when none.
using LibraryHandle = void*;

// An exported function's address, to be cast to its real type by the caller; null when absent.
using LibrarySymbol = void (*)();

// The file name of the driver library on this platform, found through the system's own search.
const char* DefaultDriverLibraryName();

// Opens the library. Returns null and puts the system's explanation into error when it fails.
LibraryHandle OpenSharedLibrary(const std::string& name, std::string& error);

// The address of the exported function with this plain C name, or null.
LibrarySymbol FindLibrarySymbol(LibraryHandle library, const char* name);

// Closes a library that OpenSharedLibrary opened.
void CloseSharedLibrary(LibraryHandle library);

// The folder that holds the running program's executable file; empty when it cannot be found.
std::string ProgramFolder();

// The value of an environment variable; empty when it is not set.
std::string EnvironmentValue(const char* name);

}  // namespace klxr::platform
