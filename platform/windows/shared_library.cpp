// Loading the driver library with LoadLibraryA and GetProcAddress.
#include "platform/shared_library.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>

namespace klxr::platform {
namespace {

// The system's own text for an error code, without its closing line end; empty when it has none.
std::string SystemErrorText(DWORD code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result(text != nullptr ? text : "", text != nullptr ? length : 0);
  LocalFree(text);
  while (!result.empty() &&
         (result.back() == '\n' || result.back() == '\r' || result.back() == ' ')) {
    result.pop_back();
  }
  return result;
}

}  // namespace

const char* DefaultDriverLibraryName() {
  return "Ftd2xx.dll";
}

LibraryHandle OpenSharedLibrary(const std::string& name, std::string& error) {
  // The system's search takes backslashes only: a path written with forward slashes (as build
  // tools and other platforms' habits produce) is turned into the Windows form.
  std::string windowsName = name;
  std::replace(windowsName.begin(), windowsName.end(), '/', '\\');
  HMODULE module = LoadLibraryA(windowsName.c_str());
  if (module == nullptr) {
    const DWORD code = GetLastError();
    const std::string text = SystemErrorText(code);
    error = "LoadLibrary failed with error " + std::to_string(code);
    if (!text.empty()) {
      error += ": " + text;
    }
    return nullptr;
  }
  return reinterpret_cast<LibraryHandle>(module);
}

LibrarySymbol FindLibrarySymbol(LibraryHandle library, const char* name) {
  return reinterpret_cast<LibrarySymbol>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseSharedLibrary(LibraryHandle library) {
  FreeLibrary(static_cast<HMODULE>(library));
}

}  // namespace klxr::platform
