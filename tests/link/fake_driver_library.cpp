// A tiny stand-in driver library for the loading tests: it exports the fifteen driver functions
// under their plain C names and answers with recognisable values. Built a second time with
// KLXR_OMIT_CYCLE_PORT it lacks FT_CyclePort.
#include "link/d2xx_api.h"

#if defined(_WIN32)
#define KLXR_EXPORT extern "C" __declspec(dllexport)
#else
#define KLXR_EXPORT extern "C" __attribute__((visibility("default")))
#endif

using namespace klxr::d2xx;

namespace {
char deviceToken;
}

// The count of devices this library reports: recognisable in the tests.
KLXR_EXPORT FT_STATUS KLXR_D2XX_CALL FT_ListDevices(void* arg1, void*, DWORD flags) {
  if (flags == FT_LIST_NUMBER_ONLY) {
    *static_cast<DWORD*>(arg1) = 3;
  }
  return FT_OK;
}
KLXR_EXPORT FT_STATUS KLXR_D2XX_CALL FT_Open(int, FT_HANDLE* handle) {
  *handle = &deviceToken;
  return FT_OK;
}
KLXR_EXPORT FT_STATUS KLXR_D2XX_CALL FT_Close(FT_HANDLE) {
  return FT_OK;
}
KLXR_EXPORT FT_STATUS KLXR_D2XX_CALL FT_Read(FT_HANDLE, void*, DWORD, DWORD* bytesRead) {
  *bytesRead = 0;
  return FT_OK;
}
KLXR_EXPORT FT_STATUS KLXR_D2XX_CALL FT_Write(FT_HANDLE, void*, DWORD count, DWORD* bytesWritten) {
  *bytesWritten = count;
  return FT_OK;
}
KLXR_EXPORT FT_STATUS KLXR_D2XX_CALL FT_SetBaudRate(FT_HANDLE, ULONG baudRate) {
  return baudRate == 115200 ? FT_OK : FT_INVALID_BAUD_RATE;
}
KLXR_EXPORT FT_STATUS KLXR_D2XX_CALL FT_SetDataCharacteristics(FT_HANDLE, UCHAR, UCHAR, UCHAR) {
  return FT_OK;
}
KLXR_EXPORT FT_STATUS KLXR_D2XX_CALL FT_SetFlowControl(FT_HANDLE, USHORT, UCHAR, UCHAR) {
  return FT_OK;
}
KLXR_EXPORT FT_STATUS KLXR_D2XX_CALL FT_SetDtr(FT_HANDLE) {
  return FT_OK;
}
KLXR_EXPORT FT_STATUS KLXR_D2XX_CALL FT_ClrDtr(FT_HANDLE) {
  return FT_OK;
}
KLXR_EXPORT FT_STATUS KLXR_D2XX_CALL FT_Purge(FT_HANDLE, ULONG) {
  return FT_OK;
}
KLXR_EXPORT FT_STATUS KLXR_D2XX_CALL FT_SetTimeouts(FT_HANDLE, ULONG, ULONG) {
  return FT_OK;
}
KLXR_EXPORT FT_STATUS KLXR_D2XX_CALL FT_EE_Read(FT_HANDLE, FT_PROGRAM_DATA*) {
  return FT_EEPROM_NOT_PRESENT;
}
KLXR_EXPORT FT_STATUS KLXR_D2XX_CALL FT_EE_Program(FT_HANDLE, FT_PROGRAM_DATA*) {
  return FT_EEPROM_NOT_PRESENT;
}
#if !defined(KLXR_OMIT_CYCLE_PORT)
KLXR_EXPORT FT_STATUS KLXR_D2XX_CALL FT_CyclePort(FT_HANDLE) {
  return FT_OK;
}
#endif
