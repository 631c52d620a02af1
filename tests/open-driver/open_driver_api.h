// The open driver library loaded with dlopen, its functions (the fifteen and the three optional
// ones) resolved by their plain names, for tests that call the driver directly.
#pragma once

#include <dlfcn.h>

#include <gtest/gtest.h>

#include "link/d2xx_api.h"

namespace klxr::emulation {

struct OpenDriverApi {
  void* library = dlopen(KLXR_OPEN_DRIVER_PATH, RTLD_NOW | RTLD_LOCAL);
  d2xx::D2xxFunctions table;
  // The optional functions also as members of their own (api.FT_GetQueueStatus).
#define KLXR_OPTIONAL_MEMBER(name, shortName, parameters, arguments) \
  d2xx::name##_t& name = table.name;
  KLXR_D2XX_OPTIONAL_FUNCTIONS(KLXR_OPTIONAL_MEMBER)
#undef KLXR_OPTIONAL_MEMBER

  OpenDriverApi() {
    if (library == nullptr) {
      ADD_FAILURE() << dlerror();
      return;
    }
#define KLXR_FIND(name, shortName, parameters, arguments) Find(#name, table.name);
    KLXR_D2XX_FUNCTIONS(KLXR_FIND)
#undef KLXR_FIND
  }
  ~OpenDriverApi() {
    if (library != nullptr) {
      dlclose(library);
    }
  }
  OpenDriverApi(const OpenDriverApi&) = delete;
  OpenDriverApi& operator=(const OpenDriverApi&) = delete;

  template <typename Function>
  void Find(const char* name, Function& entry) {
    entry = reinterpret_cast<Function>(dlsym(library, name));
    if (entry == nullptr) {
      ADD_FAILURE() << "the library has no " << name;
    }
  }
  const d2xx::D2xxFunctions* operator->() const {
    return &table;
  }
};

}  // namespace klxr::emulation
