// The fifteen driver functions, and the three optional ones of fast transfer, under their plain C
// names, as the adapter maker's library exports them, so that the program loads this library
// exactly like the real driver. Each one routes to the library's bus, made from the environment on
// first use.
#include "link/d2xx_api.h"
#include "virtual-meter/loadable_bus.h"

#if defined(_WIN32)
// klxr-virtual-meter.def exports them, under the plain names only: dllexport would add the
// decorated __stdcall names (FT_Open@8) of a 32-bit build beside them.
#define KLXR_VM_EXPORT
#else
#define KLXR_VM_EXPORT __attribute__((visibility("default")))
#endif

using namespace klxr::d2xx;
using klxr::vm::LoadableBus;

extern "C" {

KLXR_VM_EXPORT FT_STATUS KLXR_D2XX_CALL FT_ListDevices(void* arg1, void* arg2, DWORD flags) {
  return LoadableBus().ListDevices(arg1, arg2, flags);
}

KLXR_VM_EXPORT FT_STATUS KLXR_D2XX_CALL FT_Open(int deviceNumber, FT_HANDLE* handle) {
  return LoadableBus().Open(deviceNumber, handle);
}

KLXR_VM_EXPORT FT_STATUS KLXR_D2XX_CALL FT_Close(FT_HANDLE handle) {
  return LoadableBus().Close(handle);
}

KLXR_VM_EXPORT FT_STATUS KLXR_D2XX_CALL FT_Read(FT_HANDLE handle, void* buffer, DWORD bytesToRead,
                                                DWORD* bytesReturned) {
  return LoadableBus().Read(handle, buffer, bytesToRead, bytesReturned);
}

KLXR_VM_EXPORT FT_STATUS KLXR_D2XX_CALL FT_Write(FT_HANDLE handle, void* buffer, DWORD bytesToWrite,
                                                 DWORD* bytesWritten) {
  return LoadableBus().Write(handle, buffer, bytesToWrite, bytesWritten);
}

KLXR_VM_EXPORT FT_STATUS KLXR_D2XX_CALL FT_SetBaudRate(FT_HANDLE handle, ULONG baudRate) {
  return LoadableBus().SetBaudRate(handle, baudRate);
}

KLXR_VM_EXPORT FT_STATUS KLXR_D2XX_CALL FT_SetDataCharacteristics(FT_HANDLE handle,
                                                                  UCHAR wordLength, UCHAR stopBits,
                                                                  UCHAR parity) {
  return LoadableBus().SetDataCharacteristics(handle, wordLength, stopBits, parity);
}

KLXR_VM_EXPORT FT_STATUS KLXR_D2XX_CALL FT_SetFlowControl(FT_HANDLE handle, USHORT flowControl,
                                                          UCHAR xon, UCHAR xoff) {
  return LoadableBus().SetFlowControl(handle, flowControl, xon, xoff);
}

KLXR_VM_EXPORT FT_STATUS KLXR_D2XX_CALL FT_SetDtr(FT_HANDLE handle) {
  return LoadableBus().SetDtr(handle);
}

KLXR_VM_EXPORT FT_STATUS KLXR_D2XX_CALL FT_ClrDtr(FT_HANDLE handle) {
  return LoadableBus().ClrDtr(handle);
}

KLXR_VM_EXPORT FT_STATUS KLXR_D2XX_CALL FT_Purge(FT_HANDLE handle, ULONG mask) {
  return LoadableBus().Purge(handle, mask);
}

KLXR_VM_EXPORT FT_STATUS KLXR_D2XX_CALL FT_SetTimeouts(FT_HANDLE handle, ULONG readTimeoutMs,
                                                       ULONG writeTimeoutMs) {
  return LoadableBus().SetTimeouts(handle, readTimeoutMs, writeTimeoutMs);
}

KLXR_VM_EXPORT FT_STATUS KLXR_D2XX_CALL FT_EE_Read(FT_HANDLE handle, FT_PROGRAM_DATA* data) {
  return LoadableBus().EeRead(handle, data);
}

KLXR_VM_EXPORT FT_STATUS KLXR_D2XX_CALL FT_EE_Program(FT_HANDLE handle, FT_PROGRAM_DATA* data) {
  return LoadableBus().EeProgram(handle, data);
}

KLXR_VM_EXPORT FT_STATUS KLXR_D2XX_CALL FT_CyclePort(FT_HANDLE handle) {
  return LoadableBus().CyclePort(handle);
}

KLXR_VM_EXPORT FT_STATUS KLXR_D2XX_CALL FT_GetQueueStatus(FT_HANDLE handle, DWORD* rxBytes) {
  return LoadableBus().GetQueueStatus(handle, rxBytes);
}

KLXR_VM_EXPORT FT_STATUS KLXR_D2XX_CALL FT_SetLatencyTimer(FT_HANDLE handle, UCHAR milliseconds) {
  return LoadableBus().SetLatencyTimer(handle, milliseconds);
}

KLXR_VM_EXPORT FT_STATUS KLXR_D2XX_CALL FT_GetLatencyTimer(FT_HANDLE handle, UCHAR* milliseconds) {
  return LoadableBus().GetLatencyTimer(handle, milliseconds);
}

}  // extern "C"
