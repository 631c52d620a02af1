// A recording fake of the adapter driver for tests: a D2xxFunctions table whose fifteen functions
// log each call with its arguments ("FT_SetBaudRate #0 115200") and answer from a script: a status
// per call, the bytes that reads deliver, the EEPROM contents. Handles print as "#<device index>".
// Only one fake exists at a time; the table's functions reach it through the one that is alive.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "link/d2xx_api.h"

namespace klxr::testing {

class FakeD2xx {
 public:
  FakeD2xx();
  ~FakeD2xx();
  FakeD2xx(const FakeD2xx&) = delete;
  FakeD2xx& operator=(const FakeD2xx&) = delete;

  const d2xx::D2xxFunctions& Functions() const { return functions_; }

  // The next call of this function (by its FT_ name) answers status instead of FT_OK; queued
  // statuses are used up in order.
  void ScriptStatus(std::string_view function, d2xx::FT_STATUS status);
  // One read delivers up to its requested count from the front chunk; an empty chunk, or none
  // left, is a read that times out with nothing.
  void QueueRead(std::vector<std::uint8_t> bytes) { reads_.push_back(std::move(bytes)); }

  static constexpr int kMaxDevices = 16;

  // The handle FT_Open gives for a device index (devices 0 to deviceCount - 1 exist).
  d2xx::FT_HANDLE HandleOf(int deviceIndex);

  // The attached devices (at most 16) and the EEPROM every one of them holds; as constructed, an
  // adapter that already has every setting the meter link needs.
  std::uint32_t deviceCount = 1;
  d2xx::FT_PROGRAM_DATA eeprom{};
  std::string manufacturer = "Maker";
  std::string manufacturerId = "MK";
  std::string description = "Quorvel KLXR";  // 64 characters or more fill the buffer unterminated
  std::string serialNumber = "A1B2C3";

  // What was done: every call in order, every block written, the EEPROM blocks as passed in.
  std::vector<std::string> calls;
  std::vector<std::vector<std::uint8_t>> written;
  d2xx::FT_PROGRAM_DATA readRequest{};       // the block as it arrived at the last FT_EE_Read
  const void* readRequestAddress = nullptr;  // where it was
  d2xx::FT_PROGRAM_DATA programmedBlock{};   // the block as it arrived at the last FT_EE_Program
  const void* programmedAddress = nullptr;
  std::string programmedManufacturer;
  std::string programmedManufacturerId;
  std::string programmedDescription;
  std::string programmedSerialNumber;

  // Table entries, public only so that the static thunks can reach them.
  d2xx::FT_STATUS Answer(std::string_view function);
  std::string HandleName(d2xx::FT_HANDLE handle);
  void ReadEeprom(d2xx::FT_PROGRAM_DATA* data);
  void RecordProgram(const d2xx::FT_PROGRAM_DATA* data);
  d2xx::DWORD DeliverRead(std::uint8_t* buffer, d2xx::DWORD count);

 private:
  d2xx::D2xxFunctions functions_;
  std::map<std::string, std::deque<d2xx::FT_STATUS>, std::less<>> statuses_;
  std::deque<std::vector<std::uint8_t>> reads_;
  char handleTokens_[kMaxDevices] = {};
};

// The bytes as the fake logs them: upper-case hex pairs separated by spaces ("02 03 4C").
std::string HexBytes(const std::uint8_t* bytes, std::size_t count);

}  // namespace klxr::testing
