// Platform branches for loading the driver library: LoadLibraryA and GetProcAddress on Windows,
// dlopen and dlsym elsewhere.
#include "link/shared_library.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdlib>
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

LibraryHandle OpenSharedLibrary(const std::string& name, std::string& error) {
  HMODULE module = LoadLibraryA(name.c_str());
  if (module == nullptr) {
    error = "LoadLibrary failed with error " + std::to_string(GetLastError());
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
  char* value = nullptr;
  std::size_t length = 0;
  if (_dupenv_s(&value, &length, name) != 0 || value == nullptr) {
    return {};
  }
  std::string result(value);
  std::free(value);
  return result;
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
