// The driver's functions under their plain C names, with the driver's signatures and status codes,
// over libftdi1. Handles are the addresses of open ports; a handle that is not open (closed, or
// never given out) fails every call with FT_INVALID_HANDLE. Functions of the driver that the
// program does not use are not exported; FT_ListDevices answers only the number of adapters.
#include <mutex>
#include <unordered_set>

#include "link/d2xx_api.h"
#include "open-driver/ftdi_port.h"

using namespace klxr::d2xx;
using klxr::open_driver::FtdiPort;

#define KLXR_EXPORT extern "C" __attribute__((visibility("default")))

// Every function of the driver's table, declared with the table's signature, so that a definition
// below that strays from it does not compile.
#define KLXR_DECLARE_EXPORT(name, shortName, parameters, arguments) \
  KLXR_EXPORT FT_STATUS KLXR_D2XX_CALL name parameters;
KLXR_D2XX_FUNCTIONS(KLXR_DECLARE_EXPORT)
#undef KLXR_DECLARE_EXPORT

namespace {

// The open ports. The program calls from one thread, but nothing here relies on it.
struct OpenPorts {
  std::mutex mutex;
  std::unordered_set<FtdiPort*> ports;
};

OpenPorts& Ports() {
  static OpenPorts ports;
  return ports;
}

// Runs an operation on the port behind the handle while it stays registered.
template <typename Operation>
FT_STATUS OnPort(FT_HANDLE handle, Operation operation) {
  OpenPorts& open = Ports();
  std::lock_guard lock(open.mutex);
  auto* port = static_cast<FtdiPort*>(handle);
  if (port == nullptr || open.ports.count(port) == 0) {
    return FT_INVALID_HANDLE;
  }
  return operation(*port);
}

}  // namespace

KLXR_EXPORT FT_STATUS FT_ListDevices(void* arg1, void* /*arg2*/, DWORD flags) {
  if (flags != FT_LIST_NUMBER_ONLY) {
    return FT_NOT_SUPPORTED;
  }
  if (arg1 == nullptr) {
    return FT_INVALID_PARAMETER;
  }
  const int count = klxr::open_driver::CountAdapters();
  if (count < 0) {
    return FT_OTHER_ERROR;
  }
  *static_cast<DWORD*>(arg1) = static_cast<DWORD>(count);
  return FT_OK;
}

KLXR_EXPORT FT_STATUS FT_Open(int deviceNumber, FT_HANDLE* handle) {
  if (handle == nullptr) {
    return FT_INVALID_PARAMETER;
  }
  FtdiPort* port = nullptr;
  const FT_STATUS status = FtdiPort::Open(deviceNumber, port);
  if (status != FT_OK) {
    return status;
  }
  OpenPorts& open = Ports();
  std::lock_guard lock(open.mutex);
  open.ports.insert(port);
  *handle = port;
  return FT_OK;
}

KLXR_EXPORT FT_STATUS FT_Close(FT_HANDLE handle) {
  OpenPorts& open = Ports();
  std::lock_guard lock(open.mutex);
  auto* port = static_cast<FtdiPort*>(handle);
  if (port == nullptr || open.ports.erase(port) == 0) {
    return FT_INVALID_HANDLE;
  }
  delete port;
  return FT_OK;
}

KLXR_EXPORT FT_STATUS FT_Read(FT_HANDLE handle, void* buffer, DWORD bytesToRead,
                              DWORD* bytesReturned) {
  return OnPort(handle, [&](FtdiPort& port) {
    return port.Read(static_cast<std::uint8_t*>(buffer), bytesToRead, bytesReturned);
  });
}

KLXR_EXPORT FT_STATUS FT_Write(FT_HANDLE handle, void* buffer, DWORD bytesToWrite,
                               DWORD* bytesWritten) {
  return OnPort(handle, [&](FtdiPort& port) {
    return port.Write(static_cast<const std::uint8_t*>(buffer), bytesToWrite, bytesWritten);
  });
}

KLXR_EXPORT FT_STATUS FT_SetBaudRate(FT_HANDLE handle, ULONG baudRate) {
  return OnPort(handle, [&](FtdiPort& port) { return port.SetBaudRate(baudRate); });
}

KLXR_EXPORT FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, UCHAR wordLength, UCHAR stopBits,
                                                UCHAR parity) {
  return OnPort(handle, [&](FtdiPort& port) {
    return port.SetDataCharacteristics(wordLength, stopBits, parity);
  });
}

KLXR_EXPORT FT_STATUS FT_SetFlowControl(FT_HANDLE handle, USHORT flowControl, UCHAR xon,
                                        UCHAR xoff) {
  return OnPort(handle,
                [&](FtdiPort& port) { return port.SetFlowControl(flowControl, xon, xoff); });
}

KLXR_EXPORT FT_STATUS FT_SetDtr(FT_HANDLE handle) {
  return OnPort(handle, [](FtdiPort& port) { return port.SetDtr(true); });
}

KLXR_EXPORT FT_STATUS FT_ClrDtr(FT_HANDLE handle) {
  return OnPort(handle, [](FtdiPort& port) { return port.SetDtr(false); });
}

KLXR_EXPORT FT_STATUS FT_Purge(FT_HANDLE handle, ULONG mask) {
  return OnPort(handle, [&](FtdiPort& port) { return port.Purge(mask); });
}

KLXR_EXPORT FT_STATUS FT_SetTimeouts(FT_HANDLE handle, ULONG readTimeoutMs, ULONG writeTimeoutMs) {
  return OnPort(handle,
                [&](FtdiPort& port) { return port.SetTimeouts(readTimeoutMs, writeTimeoutMs); });
}

KLXR_EXPORT FT_STATUS FT_EE_Read(FT_HANDLE handle, FT_PROGRAM_DATA* data) {
  return OnPort(handle, [&](FtdiPort& port) { return port.ReadEeprom(data); });
}

KLXR_EXPORT FT_STATUS FT_EE_Program(FT_HANDLE handle, FT_PROGRAM_DATA* data) {
  return OnPort(handle, [&](FtdiPort& port) { return port.ProgramEeprom(data); });
}

KLXR_EXPORT FT_STATUS FT_CyclePort(FT_HANDLE handle) {
  return OnPort(handle, [](FtdiPort& port) { return port.CyclePort(); });
}

KLXR_EXPORT FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, DWORD* rxBytes) {
  return OnPort(handle, [&](FtdiPort& port) { return port.QueueStatus(rxBytes); });
}

KLXR_EXPORT FT_STATUS FT_SetLatencyTimer(FT_HANDLE handle, UCHAR ms) {
  return OnPort(handle, [&](FtdiPort& port) { return port.SetLatencyTimer(ms); });
}

KLXR_EXPORT FT_STATUS FT_GetLatencyTimer(FT_HANDLE handle, UCHAR* ms) {
  return OnPort(handle, [&](FtdiPort& port) { return port.GetLatencyTimer(ms); });
}
