// The open driver library loaded with dlopen, its functions (the fifteen and the three optional
// ones) resolved by their plain names, for tests that call the driver directly.
#pragma once

#include <dlfcn.h>

#include <gtest/gtest.h>

#include "link/d2xx_api.h"

namespace klxr::emulation {

struct OpenDriverApi {
  using GetQueueStatus_t = d2xx::FT_STATUS (*)(d2xx::FT_HANDLE, d2xx::DWORD*);
  using SetLatencyTimer_t = d2xx::FT_STATUS (*)(d2xx::FT_HANDLE, d2xx::UCHAR);
  using GetLatencyTimer_t = d2xx::FT_STATUS (*)(d2xx::FT_HANDLE, d2xx::UCHAR*);

  void* library = dlopen(KLXR_OPEN_DRIVER_PATH, RTLD_NOW | RTLD_LOCAL);
  d2xx::D2xxFunctions table;
  GetQueueStatus_t FT_GetQueueStatus = nullptr;
  SetLatencyTimer_t FT_SetLatencyTimer = nullptr;
  GetLatencyTimer_t FT_GetLatencyTimer = nullptr;

  OpenDriverApi() {
    if (library == nullptr) {
      ADD_FAILURE() << dlerror();
      return;
    }
    Find("FT_ListDevices", table.FT_ListDevices);
    Find("FT_Open", table.FT_Open);
    Find("FT_Close", table.FT_Close);
    Find("FT_Read", table.FT_Read);
    Find("FT_Write", table.FT_Write);
    Find("FT_SetBaudRate", table.FT_SetBaudRate);
    Find("FT_SetDataCharacteristics", table.FT_SetDataCharacteristics);
    Find("FT_SetFlowControl", table.FT_SetFlowControl);
    Find("FT_SetDtr", table.FT_SetDtr);
    Find("FT_ClrDtr", table.FT_ClrDtr);
    Find("FT_Purge", table.FT_Purge);
    Find("FT_SetTimeouts", table.FT_SetTimeouts);
    Find("FT_EE_Read", table.FT_EE_Read);
    Find("FT_EE_Program", table.FT_EE_Program);
    Find("FT_CyclePort", table.FT_CyclePort);
    Find("FT_GetQueueStatus", FT_GetQueueStatus);
    Find("FT_SetLatencyTimer", FT_SetLatencyTimer);
    Find("FT_GetLatencyTimer", FT_GetLatencyTimer);
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
  const d2xx::D2xxFunctions* operator->() const { return &table; }
};

}  // namespace klxr::emulation
