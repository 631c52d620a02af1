// The driver's functions, listed once. Every place that names them all (the table of pointers, the
// loader, the exports of each driver library, the test drivers) expands these lists instead of
// spelling the names out again, so that a function added here reaches all of them.
//
// Each entry is X(NAME, SHORT_NAME, PARAMETERS, ARGUMENTS):
// - NAME: the exported C name, as the adapter maker's library spells it;
// - SHORT_NAME: the name without the FT_ prefix that each back end gives its own implementation;
// - PARAMETERS: the parameter list with its parentheses, in the d2xx types (expand where
//   klxr::d2xx's names are visible);
// - ARGUMENTS: the parameters' names with parentheses, to pass a call on unchanged.
// Every function returns FT_STATUS with the driver's calling convention (KLXR_D2XX_CALL).
//
// The required functions are the fifteen the program cannot work without: a library lacking one of
// them is not loaded. The optional ones serve fast transfer; a library may lack them.
#pragma once

// clang-format off
#define KLXR_D2XX_REQUIRED_FUNCTIONS(X)                                                          \
  X(FT_ListDevices, ListDevices, (void* arg1, void* arg2, DWORD flags), (arg1, arg2, flags))      \
  X(FT_Open, Open, (int deviceNumber, FT_HANDLE* handle), (deviceNumber, handle))                 \
  X(FT_Close, Close, (FT_HANDLE handle), (handle))                                                \
  X(FT_Read, Read, (FT_HANDLE handle, void* buffer, DWORD bytesToRead, DWORD* bytesReturned),     \
    (handle, buffer, bytesToRead, bytesReturned))                                                 \
  X(FT_Write, Write, (FT_HANDLE handle, void* buffer, DWORD bytesToWrite, DWORD* bytesWritten),   \
    (handle, buffer, bytesToWrite, bytesWritten))                                                 \
  X(FT_SetBaudRate, SetBaudRate, (FT_HANDLE handle, ULONG baudRate), (handle, baudRate))          \
  X(FT_SetDataCharacteristics, SetDataCharacteristics,                                            \
    (FT_HANDLE handle, UCHAR wordLength, UCHAR stopBits, UCHAR parity),                           \
    (handle, wordLength, stopBits, parity))                                                       \
  X(FT_SetFlowControl, SetFlowControl, (FT_HANDLE handle, USHORT flowControl, UCHAR xon,         \
    UCHAR xoff), (handle, flowControl, xon, xoff))                                                \
  X(FT_SetDtr, SetDtr, (FT_HANDLE handle), (handle))                                              \
  X(FT_ClrDtr, ClrDtr, (FT_HANDLE handle), (handle))                                              \
  X(FT_Purge, Purge, (FT_HANDLE handle, ULONG mask), (handle, mask))                              \
  X(FT_SetTimeouts, SetTimeouts, (FT_HANDLE handle, ULONG readTimeoutMs, ULONG writeTimeoutMs),   \
    (handle, readTimeoutMs, writeTimeoutMs))                                                      \
  X(FT_EE_Read, EeRead, (FT_HANDLE handle, FT_PROGRAM_DATA* data), (handle, data))                \
  X(FT_EE_Program, EeProgram, (FT_HANDLE handle, FT_PROGRAM_DATA* data), (handle, data))          \
  X(FT_CyclePort, CyclePort, (FT_HANDLE handle), (handle))

// The count of received bytes waiting in the driver (it never waits), and the adapter chip's
// latency timer (2 to 255 ms).
#define KLXR_D2XX_OPTIONAL_FUNCTIONS(X)                                                          \
  X(FT_GetQueueStatus, GetQueueStatus, (FT_HANDLE handle, DWORD* rxBytes), (handle, rxBytes))     \
  X(FT_SetLatencyTimer, SetLatencyTimer, (FT_HANDLE handle, UCHAR milliseconds),                  \
    (handle, milliseconds))                                                                       \
  X(FT_GetLatencyTimer, GetLatencyTimer, (FT_HANDLE handle, UCHAR* milliseconds),                 \
    (handle, milliseconds))
// clang-format on

// All eighteen, the required ones first.
#define KLXR_D2XX_FUNCTIONS(X)    \
  KLXR_D2XX_REQUIRED_FUNCTIONS(X) \
  KLXR_D2XX_OPTIONAL_FUNCTIONS(X)
