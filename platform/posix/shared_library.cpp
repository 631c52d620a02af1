// Loading the driver library with dlopen and dlsym.
#include "platform/shared_library.h"

#include <dlfcn.h>

namespace klxr::platform {

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

}  // namespace klxr::platform
