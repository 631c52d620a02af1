// Platform branches for loading the driver library: LoadLibraryA and GetProcAddress on Windows,
// dlopen and dlsym elsewhere.
#include "link/shared_library.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#else
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace klxr::platform {

#if defined(_WIN32)

const char* DefaultDriverLibraryName() {
  return "Ftd2xx.dll";
}

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

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return {};
  }
  const std::string file(path, length);
  const std::size_t slash = file.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

std::string EnvironmentValue(const char* name) {
  // The process environment itself (which _putenv_s and the parent process set), through the
  // system: the runtime's _dupenv_s is missing from the system's own C runtime DLL.
  const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
  if (size == 0) {
    return {};
  }
  std::string value(size, '\0');
  const DWORD length = GetEnvironmentVariableA(name, value.data(), size);
  value.resize(length < size ? length : 0);
  return value;
}

#else

const char* DefaultDriverLibraryName() {
#if defined(__APPLE__)
  return "libftd2xx.dylib";
#else
  return "libftd2xx.so";
#endif
}

LibraryHandle OpenSharedLibrary(const std::string& name, std::string& error) {
  void* library = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* reason = dlerror();
    error = reason != nullptr ? reason : "dlopen failed";
  }
  return library;
}

LibrarySymbol FindLibrarySymbol(LibraryHandle library, const char* name) {
  return reinterpret_cast<LibrarySymbol>(dlsym(library, name));
}

void CloseSharedLibrary(LibraryHandle library) {
  dlclose(library);
}

std::string ProgramFolder() {
#if defined(__linux__)
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path) {
    return {};
  }
  const std::string file(path, static_cast<std::size_t>(length));
  const std::size_t slash = file.find_last_of('/');
  return slash == std::string::npos ? std::string() : file.substr(0, slash);
#else
  return {};
#endif
}

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

#endif

}  // namespace klxr::platform
