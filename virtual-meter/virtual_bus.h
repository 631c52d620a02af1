// A simulated USB bus holding one or several adapters, each with a meter behind it or not, behind
// the driver's fifteen functions. Tests create one in-process and hand its Functions() table to the
// code under test; the loadable driver library creates one from the environment.
//
// Plain function pointers carry no context, so the table routes every call to the active bus: a
// bus makes itself active when it is created and stops being active when it is destroyed. Only one
// bus may live at a time; creating a second while one lives is a programming error and aborts.
// Without a live bus the table's functions find no device.
//
// The bus is meant for one thread at a time, like the program that calls it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "link/d2xx_api.h"
#include "virtual-meter/bus_config.h"
#include "virtual-meter/clock.h"
#include "virtual-meter/simulated_adapter.h"
#include "virtual-meter/transcript.h"

namespace klxr::vm {

class VirtualBus {
 public:
  explicit VirtualBus(BusConfig config);
  ~VirtualBus();
  VirtualBus(const VirtualBus&) = delete;
  VirtualBus& operator=(const VirtualBus&) = delete;

  // The driver table routed to the active bus: the fifteen functions every driver has, as a
  // driver without the optional ones (conversations then transfer paced).
  static d2xx::D2xxFunctions Functions();
  // The same table with the three optional functions of fast transfer as well, as the loadable
  // library exports them.
  static d2xx::D2xxFunctions FastFunctions();
  // The bus that lives now, or null.
  static VirtualBus* Active();

  // The driver functions on this bus. Handles are opaque numbers, never reused: a handle that was
  // closed, or never given out, fails every call with FT_INVALID_HANDLE; the handle of an adapter
  // that vanished or was cycled fails every call with FT_IO_ERROR (FT_Close still releases it).
  d2xx::FT_STATUS ListDevices(void* arg1, void* arg2, d2xx::DWORD flags);
  d2xx::FT_STATUS Open(int deviceNumber, d2xx::FT_HANDLE* handle);
  d2xx::FT_STATUS Close(d2xx::FT_HANDLE handle);
  d2xx::FT_STATUS Read(d2xx::FT_HANDLE handle, void* buffer, d2xx::DWORD bytesToRead,
                       d2xx::DWORD* bytesReturned);
  d2xx::FT_STATUS Write(d2xx::FT_HANDLE handle, void* buffer, d2xx::DWORD bytesToWrite,
                        d2xx::DWORD* bytesWritten);
  d2xx::FT_STATUS SetBaudRate(d2xx::FT_HANDLE handle, d2xx::ULONG baudRate);
  d2xx::FT_STATUS SetDataCharacteristics(d2xx::FT_HANDLE handle, d2xx::UCHAR wordLength,
                                         d2xx::UCHAR stopBits, d2xx::UCHAR parity);
  d2xx::FT_STATUS SetFlowControl(d2xx::FT_HANDLE handle, d2xx::USHORT flowControl, d2xx::UCHAR xon,
                                 d2xx::UCHAR xoff);
  d2xx::FT_STATUS SetDtr(d2xx::FT_HANDLE handle);
  d2xx::FT_STATUS ClrDtr(d2xx::FT_HANDLE handle);
  d2xx::FT_STATUS Purge(d2xx::FT_HANDLE handle, d2xx::ULONG mask);
  d2xx::FT_STATUS SetTimeouts(d2xx::FT_HANDLE handle, d2xx::ULONG readTimeoutMs,
                              d2xx::ULONG writeTimeoutMs);
  d2xx::FT_STATUS EeRead(d2xx::FT_HANDLE handle, d2xx::FT_PROGRAM_DATA* data);
  d2xx::FT_STATUS EeProgram(d2xx::FT_HANDLE handle, d2xx::FT_PROGRAM_DATA* data);
  d2xx::FT_STATUS CyclePort(d2xx::FT_HANDLE handle);
  d2xx::FT_STATUS GetQueueStatus(d2xx::FT_HANDLE handle, d2xx::DWORD* rxBytes);
  d2xx::FT_STATUS SetLatencyTimer(d2xx::FT_HANDLE handle, d2xx::UCHAR milliseconds);
  d2xx::FT_STATUS GetLatencyTimer(d2xx::FT_HANDLE handle, d2xx::UCHAR* milliseconds);

  // The bus's time in microseconds since it was created.
  Micros Now() const { return clock_.Now(); }
  // The program's own pauses: advances a virtual clock, really sleeps on a real one.
  void Sleep(std::uint32_t ms) { clock_.Sleep(ms); }
  // The same as a sleep function to hand to the code under test; valid while the bus lives.
  std::function<void(std::uint32_t)> SleepFunction() {
    return [this](std::uint32_t ms) { Sleep(ms); };
  }
  // The bus's clock as a time source for the code under test; valid while the bus lives.
  std::function<std::int64_t()> NowFunction() {
    return [this] { return Now(); };
  }

  // The logs are empty when the configuration does not keep them (keepLogs).
  const std::vector<TranscriptEntry>& Transcript() const { return transcript_.Entries(); }
  const std::vector<CallRecord>& Calls() const { return calls_; }
  // The transcript as "-> 02 03 4C 4F 47 1A" lines, and the call log as "FT_Read(100) -> 68".
  std::vector<std::string> WireLog() const { return RenderTranscript(transcript_.Entries()); }
  std::vector<std::string> CallLog() const { return RenderCalls(calls_); }
  void ClearLogs();

  // The adapters in configuration order (not the driver's index, which skips absent ones).
  int AdapterCount() const { return static_cast<int>(adapters_.size()); }
  SimulatedAdapter& Adapter(int id) { return *adapters_.at(static_cast<std::size_t>(id)); }
  void Unplug(int id) { Adapter(id).Unplug(); }
  void Replug(int id) { Adapter(id).Replug(); }

 private:
  struct HandleState {
    int adapter;
    bool alive;
  };
  // Finds the open adapter a call on `handle` addresses, counting the call; null when the call
  // fails, with the status it fails with in `status`.
  SimulatedAdapter* Reach(d2xx::FT_HANDLE handle, CallRecord& record, d2xx::FT_STATUS& status);
  // Runs a call on a handle: `body` does the work on the adapter and returns the status.
  template <typename Body>
  d2xx::FT_STATUS OnHandle(std::string call, d2xx::FT_HANDLE handle, Body body);
  d2xx::FT_STATUS Log(CallRecord record, d2xx::FT_STATUS status);

  Clock clock_;
  vm::Transcript transcript_;
  std::vector<CallRecord> calls_;
  bool keepCalls_;
  std::vector<std::unique_ptr<SimulatedAdapter>> adapters_;
  std::map<std::uintptr_t, HandleState> handles_;
  std::uintptr_t nextHandle_ = 0x4B10;
};

}  // namespace klxr::vm
