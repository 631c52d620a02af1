// Loading the driver through the operating system: opening a shared library through the system's
// own search, finding an exported function in it and closing it.
#pragma once

#include <string>

// The calling convention of the driver's exported functions: __stdcall on 32-bit Windows, as the
// adapter maker's library there uses; the one C convention everywhere else.
#if defined(_WIN32) && !defined(_WIN64)
#define KLXR_LIBRARY_CALL __stdcall
#else
#define KLXR_LIBRARY_CALL
#endif

// Marks a function that a loadable library exports under its plain C name. On Windows the
// library's .def file lists the exports (dllexport would add the decorated __stdcall names, such as
// FT_Open@8, of a 32-bit build beside them), so the mark is empty there; elsewhere it makes the
// function visible from a library built with hidden symbols.
#if defined(_WIN32)
#define KLXR_PLAIN_NAME_EXPORT
#else
#define KLXR_PLAIN_NAME_EXPORT __attribute__((visibility("default")))
#endif

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

}  // namespace klxr::platform
