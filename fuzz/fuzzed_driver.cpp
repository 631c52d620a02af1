#include "fuzz/fuzzed_driver.h"

#include <algorithm>
#include <cstring>

namespace klxr::fuzz {
namespace {

using namespace klxr::d2xx;

// The handle of the one adapter: any non-null value the functions recognise.
char handleToken;
FT_HANDLE const kHandle = &handleToken;

// One call in 64 fails, as the fuzzed bytes decide.
bool CallFails() {
  return Adapter().bytes->ConsumeIntegral<std::uint8_t>() % 64 == 63;
}

FT_STATUS Checked(FT_HANDLE handle) {
  if (handle != kHandle || Adapter().openHandles == 0) {
    return FT_INVALID_HANDLE;
  }
  return CallFails() ? FT_IO_ERROR : FT_OK;
}

// A chunk of fuzzed bytes reaches the adapter, and a little time passes.
void Arrive() {
  FuzzedAdapter& adapter = Adapter();
  const std::size_t count = adapter.bytes->ConsumeIntegralInRange<std::size_t>(0, 80);
  for (std::uint8_t byte : adapter.bytes->ConsumeBytes<std::uint8_t>(count)) {
    adapter.received.push_back(byte);
  }
  adapter.nowUs += adapter.bytes->ConsumeIntegralInRange<int>(0, 3000);
}

FT_STATUS KLXR_D2XX_CALL ListDevices(void* count, void*, DWORD) {
  *static_cast<DWORD*>(count) = Adapter().bytes->ConsumeIntegralInRange<DWORD>(0, 3);
  return CallFails() ? FT_IO_ERROR : FT_OK;
}

FT_STATUS KLXR_D2XX_CALL Open(int, FT_HANDLE* handle) {
  FuzzedAdapter& adapter = Adapter();
  if (adapter.openHandles > 0 || CallFails()) {
    return FT_DEVICE_NOT_OPENED;
  }
  ++adapter.openHandles;
  *handle = kHandle;
  return FT_OK;
}

FT_STATUS KLXR_D2XX_CALL Close(FT_HANDLE handle) {
  if (handle != kHandle || Adapter().openHandles == 0) {
    return FT_INVALID_HANDLE;
  }
  --Adapter().openHandles;
  return FT_OK;
}

FT_STATUS KLXR_D2XX_CALL Read(FT_HANDLE handle, void* buffer, DWORD wanted, DWORD* returned) {
  *returned = 0;
  if (const FT_STATUS status = Checked(handle); status != FT_OK) {
    return status;
  }
  FuzzedAdapter& adapter = Adapter();
  Arrive();
  const std::size_t count = std::min<std::size_t>(wanted, adapter.received.size());
  std::copy_n(adapter.received.begin(), count, static_cast<std::uint8_t*>(buffer));
  adapter.received.erase(adapter.received.begin(), adapter.received.begin() + count);
  if (count < wanted) {
    adapter.nowUs += std::int64_t{adapter.readTimeoutMs} * 1000;
  }
  *returned = static_cast<DWORD>(count);
  return FT_OK;
}

FT_STATUS KLXR_D2XX_CALL Write(FT_HANDLE handle, void*, DWORD count, DWORD* written) {
  *written = 0;
  if (const FT_STATUS status = Checked(handle); status != FT_OK) {
    return status;
  }
  *written = count;
  return FT_OK;
}

FT_STATUS KLXR_D2XX_CALL SetBaudRate(FT_HANDLE handle, ULONG) {
  return Checked(handle);
}
FT_STATUS KLXR_D2XX_CALL SetDataCharacteristics(FT_HANDLE handle, UCHAR, UCHAR, UCHAR) {
  return Checked(handle);
}
FT_STATUS KLXR_D2XX_CALL SetFlowControl(FT_HANDLE handle, USHORT, UCHAR, UCHAR) {
  return Checked(handle);
}
FT_STATUS KLXR_D2XX_CALL SetDtr(FT_HANDLE handle) {
  return Checked(handle);
}
FT_STATUS KLXR_D2XX_CALL ClrDtr(FT_HANDLE handle) {
  return Checked(handle);
}

FT_STATUS KLXR_D2XX_CALL Purge(FT_HANDLE handle, ULONG mask) {
  const FT_STATUS status = Checked(handle);
  if (status == FT_OK && (mask & FT_PURGE_RX) != 0) {
    Adapter().received.clear();
  }
  return status;
}

FT_STATUS KLXR_D2XX_CALL SetTimeouts(FT_HANDLE handle, ULONG readMs, ULONG) {
  const FT_STATUS status = Checked(handle);
  if (status == FT_OK) {
    Adapter().readTimeoutMs = readMs;
  }
  return status;
}

void CopyText(char* target, std::size_t size, const char* text) {
  if (target != nullptr) {
    std::strncpy(target, text, size - 1);
    target[size - 1] = '\0';
  }
}

FT_STATUS KLXR_D2XX_CALL EeRead(FT_HANDLE handle, FT_PROGRAM_DATA* data) {
  if (const FT_STATUS status = Checked(handle); status != FT_OK) {
    return status;
  }
  const bool factory = Adapter().bytes->ConsumeIntegral<std::uint8_t>() % 8 == 0;
  data->VendorId = 0x0403;
  data->ProductId = 0x6001;
  data->PnP = factory ? 1 : 0;
  data->SelfPowered = 0;
  data->InvertDTR = factory ? 0 : 1;
  data->InvertRXD = 0;
  data->InvertTXD = 0;
  data->Cbus4 = factory ? 1 : 5;
  CopyText(data->Manufacturer, kManufacturerSize, "Maker");
  CopyText(data->ManufacturerId, kManufacturerIdSize, "MK");
  CopyText(data->Description, kDescriptionSize, factory ? "USB Serial" : "Quorvel KLXR");
  CopyText(data->SerialNumber, kSerialNumberSize, "A1B2C3");
  return FT_OK;
}

FT_STATUS KLXR_D2XX_CALL EeProgram(FT_HANDLE handle, FT_PROGRAM_DATA*) {
  return Checked(handle);
}

FT_STATUS KLXR_D2XX_CALL CyclePort(FT_HANDLE handle) {
  const FT_STATUS status = Checked(handle);
  Adapter().cycled = true;
  return status;
}

FT_STATUS KLXR_D2XX_CALL GetQueueStatus(FT_HANDLE handle, DWORD* waiting) {
  *waiting = 0;
  if (const FT_STATUS status = Checked(handle); status != FT_OK) {
    return status;
  }
  Arrive();
  *waiting = static_cast<DWORD>(Adapter().received.size());
  return FT_OK;
}

FT_STATUS KLXR_D2XX_CALL SetLatencyTimer(FT_HANDLE handle, UCHAR) {
  return Checked(handle);
}

FT_STATUS KLXR_D2XX_CALL GetLatencyTimer(FT_HANDLE handle, UCHAR* milliseconds) {
  *milliseconds = 2;
  return Checked(handle);
}

}  // namespace

FuzzedAdapter& Adapter() {
  static FuzzedAdapter adapter;
  return adapter;
}

#define KLXR_FUZZ_ENTRY(name, shortName, parameters, arguments) table.name = shortName;

D2xxFunctions FuzzedDriverTable(bool fast) {
  D2xxFunctions table;
  KLXR_D2XX_REQUIRED_FUNCTIONS(KLXR_FUZZ_ENTRY)
  if (fast) {
    KLXR_D2XX_OPTIONAL_FUNCTIONS(KLXR_FUZZ_ENTRY)
  }
  return table;
}

#undef KLXR_FUZZ_ENTRY

}  // namespace klxr::fuzz
