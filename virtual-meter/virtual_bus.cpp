#include "virtual-meter/virtual_bus.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

namespace klxr::vm {
namespace {

using d2xx::FT_STATUS;

// The one bus the driver table routes to. The driver's plain function pointers carry no context,
// so this pointer is the one piece of process-wide state of the simulation; only the constructor
// and destructor of VirtualBus change it.
VirtualBus* activeBus = nullptr;

// Without a bus there is no adapter to count or open, and no handle is valid.
constexpr FT_STATUS WithoutBus(std::string_view function) {
  return function == "FT_ListDevices" || function == "FT_Open" ? d2xx::FT_DEVICE_NOT_FOUND
                                                               : d2xx::FT_INVALID_HANDLE;
}

// A driver function that passes its call on to the active bus's method; its parameters are those
// of the table entry it is stored in.
template <auto Method, FT_STATUS kWithoutBus, typename... Args>
FT_STATUS KLXR_D2XX_CALL Route(Args... args) {
  VirtualBus* bus = VirtualBus::Active();
  return bus ? (bus->*Method)(args...) : kWithoutBus;
}

std::uintptr_t HandleKey(d2xx::FT_HANDLE handle) {
  return reinterpret_cast<std::uintptr_t>(handle);
}

}  // namespace

VirtualBus::VirtualBus(BusConfig config)
    : clock_(config.clock, config.clockCountsRealTimeBetweenCalls),
      transcript_(config.transcriptPath, config.keepLogs),
      keepCalls_(config.keepLogs) {
  if (activeBus != nullptr) {
    std::fputs("klxr virtual meter: a second VirtualBus was created while one lives\n", stderr);
    std::abort();
  }
  for (std::size_t i = 0; i < config.adapters.size(); ++i) {
    adapters_.push_back(std::make_unique<SimulatedAdapter>(
        static_cast<int>(i), std::move(config.adapters[i]), transcript_));
  }
  activeBus = this;
}

VirtualBus::~VirtualBus() {
  activeBus = nullptr;
}

VirtualBus* VirtualBus::Active() {
  return activeBus;
}

#define KLXR_VM_ROUTE(name, shortName, parameters, arguments) \
  table.name = &Route<&VirtualBus::shortName, WithoutBus(#name)>;

d2xx::D2xxFunctions VirtualBus::Functions() {
  d2xx::D2xxFunctions table;
  KLXR_D2XX_REQUIRED_FUNCTIONS(KLXR_VM_ROUTE)
  return table;
}

d2xx::D2xxFunctions VirtualBus::FastFunctions() {
  d2xx::D2xxFunctions table = Functions();
  KLXR_D2XX_OPTIONAL_FUNCTIONS(KLXR_VM_ROUTE)
  return table;
}

#undef KLXR_VM_ROUTE

void VirtualBus::ClearLogs() {
  transcript_.Clear();
  calls_.clear();
}

FT_STATUS VirtualBus::Log(CallRecord record, FT_STATUS status) {
  record.status = status;
  if (keepCalls_) {
    calls_.push_back(std::move(record));
  }
  return status;
}

SimulatedAdapter* VirtualBus::Reach(d2xx::FT_HANDLE handle, CallRecord& record, FT_STATUS& status) {
  const auto found = handles_.find(HandleKey(handle));
  if (found == handles_.end()) {
    status = d2xx::FT_INVALID_HANDLE;
    return nullptr;
  }
  SimulatedAdapter& adapter = Adapter(found->second.adapter);
  record.adapter = adapter.Id();
  if (found->second.alive) {
    adapter.CountCall();
    found->second.alive = adapter.Present(clock_.Now()) && adapter.IsOpen();
  }
  if (!found->second.alive) {
    status = d2xx::FT_IO_ERROR;
    return nullptr;
  }
  status = d2xx::FT_OK;
  return &adapter;
}

template <typename Body>
FT_STATUS VirtualBus::OnHandle(std::string call, d2xx::FT_HANDLE handle, Body body) {
  CallRecord record{std::move(call), {}, d2xx::FT_OK, -1, clock_.Now()};
  FT_STATUS status = d2xx::FT_OK;
  SimulatedAdapter* adapter = Reach(handle, record, status);
  if (adapter != nullptr) {
    status = body(*adapter, record);
  }
  return Log(std::move(record), status);
}

FT_STATUS VirtualBus::ListDevices(void* arg1, void*, d2xx::DWORD flags) {
  char call[40] = "FT_ListDevices";
  if (flags != d2xx::FT_LIST_NUMBER_ONLY) {
    std::snprintf(call, sizeof call, "FT_ListDevices(0x%08X)", static_cast<unsigned>(flags));
  }
  CallRecord record{call, {}, d2xx::FT_OK, -1, clock_.Now()};
  // Only the count is simulated; listing descriptions or serial numbers is not.
  if (flags != d2xx::FT_LIST_NUMBER_ONLY || arg1 == nullptr) {
    return Log(std::move(record), d2xx::FT_INVALID_PARAMETER);
  }
  d2xx::DWORD count = 0;
  for (const auto& adapter : adapters_) {
    count += adapter->Present(clock_.Now()) ? 1 : 0;
  }
  *static_cast<d2xx::DWORD*>(arg1) = count;
  record.result = std::to_string(count);
  return Log(std::move(record), d2xx::FT_OK);
}

FT_STATUS VirtualBus::Open(int deviceNumber, d2xx::FT_HANDLE* handle) {
  CallRecord record{
      "FT_Open(" + std::to_string(deviceNumber) + ")", {}, d2xx::FT_OK, -1, clock_.Now()};
  if (handle == nullptr) {
    return Log(std::move(record), d2xx::FT_INVALID_PARAMETER);
  }
  *handle = nullptr;
  SimulatedAdapter* chosen = nullptr;
  int index = 0;
  for (const auto& adapter : adapters_) {
    if (adapter->Present(clock_.Now()) && index++ == deviceNumber) {
      chosen = adapter.get();
      break;
    }
  }
  if (chosen == nullptr) {
    return Log(std::move(record), d2xx::FT_DEVICE_NOT_FOUND);
  }
  record.adapter = chosen->Id();
  chosen->CountCall();
  if (!chosen->Present(clock_.Now())) {
    return Log(std::move(record), d2xx::FT_DEVICE_NOT_FOUND);
  }
  if (chosen->OpenNotPermitted()) {
    return Log(std::move(record), d2xx::kOpenNotPermitted);
  }
  if (chosen->InUseElsewhere() || chosen->IsOpen()) {
    return Log(std::move(record), d2xx::FT_DEVICE_NOT_OPENED);
  }
  chosen->Open(clock_.Now());
  const std::uintptr_t key = nextHandle_;
  nextHandle_ += 0x10;
  handles_[key] = HandleState{chosen->Id(), true};
  *handle = reinterpret_cast<d2xx::FT_HANDLE>(key);
  return Log(std::move(record), d2xx::FT_OK);
}

FT_STATUS VirtualBus::Close(d2xx::FT_HANDLE handle) {
  CallRecord record{"FT_Close", {}, d2xx::FT_OK, -1, clock_.Now()};
  FT_STATUS status = d2xx::FT_OK;
  if (SimulatedAdapter* adapter = Reach(handle, record, status)) {
    adapter->Close();
  }
  if (status != d2xx::FT_INVALID_HANDLE) {
    handles_.erase(HandleKey(handle));
  }
  return Log(std::move(record), status);
}

FT_STATUS VirtualBus::Read(d2xx::FT_HANDLE handle, void* buffer, d2xx::DWORD bytesToRead,
                           d2xx::DWORD* bytesReturned) {
  if (bytesReturned != nullptr) {
    *bytesReturned = 0;
  }
  return OnHandle("FT_Read(" + std::to_string(bytesToRead) + ")", handle,
                  [&](SimulatedAdapter& adapter, CallRecord& record) {
                    if ((buffer == nullptr && bytesToRead > 0) || bytesReturned == nullptr) {
                      return d2xx::FT_INVALID_PARAMETER;
                    }
                    const SimulatedAdapter::ReadResult result =
                        adapter.Read(static_cast<std::uint8_t*>(buffer), bytesToRead, clock_);
                    *bytesReturned = static_cast<d2xx::DWORD>(result.count);
                    record.result = std::to_string(result.count);
                    return result.status;
                  });
}

FT_STATUS VirtualBus::Write(d2xx::FT_HANDLE handle, void* buffer, d2xx::DWORD bytesToWrite,
                            d2xx::DWORD* bytesWritten) {
  if (bytesWritten != nullptr) {
    *bytesWritten = 0;
  }
  Bytes bytes;
  if (buffer != nullptr) {
    const auto* first = static_cast<const std::uint8_t*>(buffer);
    bytes.assign(first, first + bytesToWrite);
  }
  return OnHandle("FT_Write(" + HexBytes(bytes) + ")", handle,
                  [&](SimulatedAdapter& adapter, CallRecord&) {
                    if ((buffer == nullptr && bytesToWrite > 0) || bytesWritten == nullptr) {
                      return d2xx::FT_INVALID_PARAMETER;
                    }
                    transcript_.Add(Direction::kToMeter, adapter.Id(), clock_.Now(), bytes);
                    adapter.Write(bytes, clock_.Now());
                    *bytesWritten = bytesToWrite;
                    return d2xx::FT_OK;
                  });
}

FT_STATUS VirtualBus::SetBaudRate(d2xx::FT_HANDLE handle, d2xx::ULONG baudRate) {
  return OnHandle(
      "FT_SetBaudRate(" + std::to_string(baudRate) + ")", handle,
      [&](SimulatedAdapter& adapter, CallRecord&) { return adapter.SetBaudRate(baudRate); });
}

FT_STATUS VirtualBus::SetDataCharacteristics(d2xx::FT_HANDLE handle, d2xx::UCHAR wordLength,
                                             d2xx::UCHAR stopBits, d2xx::UCHAR parity) {
  return OnHandle("FT_SetDataCharacteristics(" + std::to_string(wordLength) + "," +
                      std::to_string(stopBits) + "," + std::to_string(parity) + ")",
                  handle, [&](SimulatedAdapter& adapter, CallRecord&) {
                    return adapter.SetDataCharacteristics(wordLength, stopBits, parity);
                  });
}

FT_STATUS VirtualBus::SetFlowControl(d2xx::FT_HANDLE handle, d2xx::USHORT flowControl,
                                     d2xx::UCHAR xon, d2xx::UCHAR xoff) {
  return OnHandle("FT_SetFlowControl(" + std::to_string(flowControl) + "," + std::to_string(xon) +
                      "," + std::to_string(xoff) + ")",
                  handle, [&](SimulatedAdapter& adapter, CallRecord&) {
                    return adapter.SetFlowControl(flowControl);
                  });
}

FT_STATUS VirtualBus::SetDtr(d2xx::FT_HANDLE handle) {
  return OnHandle("FT_SetDtr", handle, [](SimulatedAdapter& adapter, CallRecord&) {
    adapter.SetDtr(true);
    return d2xx::FT_OK;
  });
}

FT_STATUS VirtualBus::ClrDtr(d2xx::FT_HANDLE handle) {
  return OnHandle("FT_ClrDtr", handle, [](SimulatedAdapter& adapter, CallRecord&) {
    adapter.SetDtr(false);
    return d2xx::FT_OK;
  });
}

FT_STATUS VirtualBus::Purge(d2xx::FT_HANDLE handle, d2xx::ULONG mask) {
  return OnHandle("FT_Purge(" + std::to_string(mask) + ")", handle,
                  [&](SimulatedAdapter& adapter, CallRecord&) {
                    if ((mask & ~(d2xx::FT_PURGE_RX | d2xx::FT_PURGE_TX)) != 0) {
                      return d2xx::FT_INVALID_PARAMETER;
                    }
                    adapter.Purge(mask, clock_.Now());
                    return d2xx::FT_OK;
                  });
}

FT_STATUS VirtualBus::SetTimeouts(d2xx::FT_HANDLE handle, d2xx::ULONG readTimeoutMs,
                                  d2xx::ULONG writeTimeoutMs) {
  return OnHandle("FT_SetTimeouts(" + std::to_string(readTimeoutMs) + "," +
                      std::to_string(writeTimeoutMs) + ")",
                  handle, [&](SimulatedAdapter& adapter, CallRecord&) {
                    adapter.SetTimeouts(readTimeoutMs, writeTimeoutMs);
                    return d2xx::FT_OK;
                  });
}

FT_STATUS VirtualBus::EeRead(d2xx::FT_HANDLE handle, d2xx::FT_PROGRAM_DATA* data) {
  return OnHandle("FT_EE_Read", handle, [&](SimulatedAdapter& adapter, CallRecord&) {
    return data == nullptr ? d2xx::FT_INVALID_PARAMETER : adapter.ReadEeprom(*data);
  });
}

FT_STATUS VirtualBus::EeProgram(d2xx::FT_HANDLE handle, d2xx::FT_PROGRAM_DATA* data) {
  return OnHandle("FT_EE_Program", handle, [&](SimulatedAdapter& adapter, CallRecord&) {
    return data == nullptr ? d2xx::FT_INVALID_PARAMETER : adapter.ProgramEeprom(*data);
  });
}

FT_STATUS VirtualBus::CyclePort(d2xx::FT_HANDLE handle) {
  return OnHandle("FT_CyclePort", handle, [&](SimulatedAdapter& adapter, CallRecord&) {
    adapter.Cycle();
    handles_.at(HandleKey(handle)).alive = false;
    return d2xx::FT_OK;
  });
}

FT_STATUS VirtualBus::GetQueueStatus(d2xx::FT_HANDLE handle, d2xx::DWORD* rxBytes) {
  return OnHandle("FT_GetQueueStatus", handle, [&](SimulatedAdapter& adapter, CallRecord& record) {
    if (rxBytes == nullptr) {
      return d2xx::FT_INVALID_PARAMETER;
    }
    const std::size_t waiting = adapter.QueueStatus(clock_.Now());
    *rxBytes = static_cast<d2xx::DWORD>(waiting);
    record.result = std::to_string(waiting);
    return d2xx::FT_OK;
  });
}

FT_STATUS VirtualBus::SetLatencyTimer(d2xx::FT_HANDLE handle, d2xx::UCHAR milliseconds) {
  return OnHandle("FT_SetLatencyTimer(" + std::to_string(milliseconds) + ")", handle,
                  [&](SimulatedAdapter& adapter, CallRecord&) {
                    return adapter.SetLatencyTimer(milliseconds, clock_.Now());
                  });
}

FT_STATUS VirtualBus::GetLatencyTimer(d2xx::FT_HANDLE handle, d2xx::UCHAR* milliseconds) {
  return OnHandle("FT_GetLatencyTimer", handle, [&](SimulatedAdapter& adapter, CallRecord& record) {
    if (milliseconds == nullptr) {
      return d2xx::FT_INVALID_PARAMETER;
    }
    *milliseconds = adapter.LatencyTimerMs();
    record.result = std::to_string(*milliseconds);
    return d2xx::FT_OK;
  });
}

}  // namespace klxr::vm
