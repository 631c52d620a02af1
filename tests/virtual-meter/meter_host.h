// A minimal driver user for the virtual meter's tests: opens an adapter through the routed driver
// table, sets the meter link up (115200 baud, 8N1, read time-out 200 ms) and sends and reads bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "virtual-meter/meter_model.h"
#include "virtual-meter/meter_records.h"
#include "virtual-meter/virtual_bus.h"

namespace klxr::vm::testing {

class MeterHost {
 public:
  explicit MeterHost(int index = 0, std::uint32_t readTimeoutMs = 200)
      : driver_(VirtualBus::Functions()) {
    status = driver_.FT_Open(index, &handle);
    if (status == d2xx::FT_OK) {
      driver_.FT_SetBaudRate(handle, 115200);
      driver_.FT_SetDataCharacteristics(handle, d2xx::FT_BITS_8, d2xx::FT_STOP_BITS_1,
                                        d2xx::FT_PARITY_NONE);
      driver_.FT_SetTimeouts(handle, readTimeoutMs, 1000);
    }
  }

  d2xx::FT_STATUS WriteBytes(Bytes bytes) {
    d2xx::DWORD written = 0;
    return driver_.FT_Write(handle, bytes.data(), static_cast<d2xx::DWORD>(bytes.size()), &written);
  }
  d2xx::FT_STATUS Send(std::string_view word) { return WriteBytes(MakeFrame(word)); }

  // Reads up to `count` bytes; the status is left in `status`.
  Bytes Read(std::size_t count) {
    Bytes bytes(count);
    d2xx::DWORD got = 0;
    status = driver_.FT_Read(handle, bytes.data(), static_cast<d2xx::DWORD>(count), &got);
    bytes.resize(got);
    return bytes;
  }
  // Sends a command and reads its whole answer of `count` bytes.
  Bytes Ask(std::string_view word, std::size_t count) {
    Send(word);
    return Read(count);
  }
  d2xx::FT_STATUS Purge() { return driver_.FT_Purge(handle, d2xx::FT_PURGE_RX); }
  d2xx::FT_STATUS Close() { return driver_.FT_Close(handle); }
  const d2xx::D2xxFunctions& Driver() const { return driver_; }

  d2xx::FT_HANDLE handle = nullptr;
  d2xx::FT_STATUS status = d2xx::FT_OK;

 private:
  d2xx::D2xxFunctions driver_;
};

inline Bytes Concat(Bytes first, const Bytes& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

// ACK followed by the frame carrying `payload`: a positive meter reply.
inline Bytes AckFrame(std::string_view payload) {
  return Concat({kAck}, MakeFrame(payload));
}
inline Bytes AckFrame(const RecordBytes& record) {
  return Concat({kAck}, MakeFrame(std::span<const std::uint8_t>(record)));
}

}  // namespace klxr::vm::testing
