#include "link/support/fake_d2xx.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace klxr::testing {
namespace {

using d2xx::DWORD;
using d2xx::FT_HANDLE;
using d2xx::FT_OK;
using d2xx::FT_STATUS;
using d2xx::UCHAR;
using d2xx::ULONG;
using d2xx::USHORT;

// The fake the table's functions talk to: the one alive (tests run one at a time).
FakeD2xx* current = nullptr;

FakeD2xx& Fake() {
  return *current;
}

std::string Call(std::string_view function, FT_HANDLE handle, std::string_view arguments = {}) {
  std::string text(function);
  text += ' ';
  text += Fake().HandleName(handle);
  if (!arguments.empty()) {
    text += ' ';
    text += arguments;
  }
  return text;
}

std::string Numbers(std::initializer_list<unsigned long> values) {
  std::string text;
  for (unsigned long value : values) {
    text += (text.empty() ? "" : " ") + std::to_string(value);
  }
  return text;
}

// Copies a string into a caller's buffer the way the driver fills it: terminated when it fits.
void FillBuffer(char* buffer, std::size_t size, const std::string& text) {
  if (buffer == nullptr) {
    return;
  }
  const std::size_t count = std::min(size, text.size());
  std::memcpy(buffer, text.data(), count);
  if (count < size) {
    buffer[count] = '\0';
  }
}

std::string ReadBuffer(const char* buffer, std::size_t size) {
  if (buffer == nullptr) {
    return {};
  }
  return std::string(buffer, std::find(buffer, buffer + size, '\0'));
}

FT_STATUS ListDevices(void* arg1, void* /*arg2*/, DWORD flags) {
  Fake().calls.push_back("FT_ListDevices " + Numbers({flags}));
  const FT_STATUS status = Fake().Answer("FT_ListDevices");
  if (status == FT_OK && flags == d2xx::FT_LIST_NUMBER_ONLY) {
    *static_cast<DWORD*>(arg1) = Fake().deviceCount;
  }
  return status;
}

FT_STATUS Open(int deviceNumber, FT_HANDLE* handle) {
  Fake().calls.push_back("FT_Open " + std::to_string(deviceNumber));
  FT_STATUS status = Fake().Answer("FT_Open");
  const bool present = deviceNumber >= 0 && deviceNumber < FakeD2xx::kMaxDevices &&
                       static_cast<DWORD>(deviceNumber) < Fake().deviceCount;
  if (status == FT_OK && !present) {
    status = d2xx::FT_DEVICE_NOT_FOUND;
  }
  // A failing open leaves rubbish behind, so that the caller's clean-up shows.
  *handle = status == FT_OK ? Fake().HandleOf(deviceNumber) : reinterpret_cast<FT_HANDLE>(0x1);
  return status;
}

FT_STATUS Close(FT_HANDLE handle) {
  Fake().calls.push_back(Call("FT_Close", handle));
  return Fake().Answer("FT_Close");
}

FT_STATUS Read(FT_HANDLE handle, void* buffer, DWORD count, DWORD* bytesRead) {
  Fake().calls.push_back(Call("FT_Read", handle, Numbers({count})));
  const FT_STATUS status = Fake().Answer("FT_Read");
  *bytesRead = status == FT_OK ? Fake().DeliverRead(static_cast<std::uint8_t*>(buffer), count) : 0;
  return status;
}

FT_STATUS Write(FT_HANDLE handle, void* buffer, DWORD count, DWORD* bytesWritten) {
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  Fake().calls.push_back(Call("FT_Write", handle, HexBytes(bytes, count)));
  Fake().written.emplace_back(bytes, bytes + count);
  const FT_STATUS status = Fake().Answer("FT_Write");
  *bytesWritten = status == FT_OK ? count : 0;
  return status;
}

FT_STATUS SetBaudRate(FT_HANDLE handle, ULONG baudRate) {
  Fake().calls.push_back(Call("FT_SetBaudRate", handle, Numbers({baudRate})));
  return Fake().Answer("FT_SetBaudRate");
}

FT_STATUS SetDataCharacteristics(FT_HANDLE handle, UCHAR wordLength, UCHAR stopBits, UCHAR parity) {
  Fake().calls.push_back(
      Call("FT_SetDataCharacteristics", handle, Numbers({wordLength, stopBits, parity})));
  return Fake().Answer("FT_SetDataCharacteristics");
}

FT_STATUS SetFlowControl(FT_HANDLE handle, USHORT mode, UCHAR xon, UCHAR xoff) {
  Fake().calls.push_back(Call("FT_SetFlowControl", handle, Numbers({mode, xon, xoff})));
  return Fake().Answer("FT_SetFlowControl");
}

FT_STATUS SetDtr(FT_HANDLE handle) {
  Fake().calls.push_back(Call("FT_SetDtr", handle));
  return Fake().Answer("FT_SetDtr");
}

FT_STATUS ClrDtr(FT_HANDLE handle) {
  Fake().calls.push_back(Call("FT_ClrDtr", handle));
  return Fake().Answer("FT_ClrDtr");
}

FT_STATUS Purge(FT_HANDLE handle, ULONG mask) {
  Fake().calls.push_back(Call("FT_Purge", handle, Numbers({mask})));
  return Fake().Answer("FT_Purge");
}

FT_STATUS SetTimeouts(FT_HANDLE handle, ULONG readTimeoutMs, ULONG writeTimeoutMs) {
  Fake().calls.push_back(Call("FT_SetTimeouts", handle, Numbers({readTimeoutMs, writeTimeoutMs})));
  return Fake().Answer("FT_SetTimeouts");
}

FT_STATUS EeRead(FT_HANDLE handle, d2xx::FT_PROGRAM_DATA* data) {
  Fake().calls.push_back(Call("FT_EE_Read", handle));
  Fake().readRequest = *data;
  Fake().readRequestAddress = data;
  const FT_STATUS status = Fake().Answer("FT_EE_Read");
  if (status == FT_OK) {
    Fake().ReadEeprom(data);
  }
  return status;
}

FT_STATUS EeProgram(FT_HANDLE handle, d2xx::FT_PROGRAM_DATA* data) {
  Fake().calls.push_back(Call("FT_EE_Program", handle));
  Fake().RecordProgram(data);
  return Fake().Answer("FT_EE_Program");
}

FT_STATUS CyclePort(FT_HANDLE handle) {
  Fake().calls.push_back(Call("FT_CyclePort", handle));
  return Fake().Answer("FT_CyclePort");
}

}  // namespace

FakeD2xx::FakeD2xx() {
  current = this;
#define KLXR_FAKE_ENTRY(name, shortName, parameters, arguments) functions_.name = shortName;
  KLXR_D2XX_REQUIRED_FUNCTIONS(KLXR_FAKE_ENTRY)
#undef KLXR_FAKE_ENTRY
  eeprom.VendorId = 0x0403;
  eeprom.ProductId = 0x6001;
  eeprom.MaxPower = 100;
  eeprom.InvertDTR = 1;
  eeprom.Cbus4 = d2xx::FT_232R_CBUS_SLEEP;
}

FakeD2xx::~FakeD2xx() {
  current = nullptr;
}

void FakeD2xx::ScriptStatus(std::string_view function, FT_STATUS status) {
  statuses_[std::string(function)].push_back(status);
}

FT_HANDLE FakeD2xx::HandleOf(int deviceIndex) {
  return &handleTokens_[deviceIndex];
}

FT_STATUS FakeD2xx::Answer(std::string_view function) {
  auto found = statuses_.find(function);
  if (found == statuses_.end() || found->second.empty()) {
    return FT_OK;
  }
  const FT_STATUS status = found->second.front();
  found->second.pop_front();
  return status;
}

std::string FakeD2xx::HandleName(FT_HANDLE handle) {
  if (handle == nullptr) {
    return "null";
  }
  const char* token = static_cast<const char*>(handle);
  for (int index = 0; index < kMaxDevices; ++index) {
    if (token == &handleTokens_[index]) {
      return "#" + std::to_string(index);
    }
  }
  return "?";
}

void FakeD2xx::ReadEeprom(d2xx::FT_PROGRAM_DATA* data) {
  char* manufacturerBuffer = data->Manufacturer;
  char* manufacturerIdBuffer = data->ManufacturerId;
  char* descriptionBuffer = data->Description;
  char* serialNumberBuffer = data->SerialNumber;
  *data = eeprom;
  data->Manufacturer = manufacturerBuffer;
  data->ManufacturerId = manufacturerIdBuffer;
  data->Description = descriptionBuffer;
  data->SerialNumber = serialNumberBuffer;
  FillBuffer(manufacturerBuffer, d2xx::kManufacturerSize, manufacturer);
  FillBuffer(manufacturerIdBuffer, d2xx::kManufacturerIdSize, manufacturerId);
  FillBuffer(descriptionBuffer, d2xx::kDescriptionSize, description);
  FillBuffer(serialNumberBuffer, d2xx::kSerialNumberSize, serialNumber);
}

void FakeD2xx::RecordProgram(const d2xx::FT_PROGRAM_DATA* data) {
  programmedBlock = *data;
  programmedAddress = data;
  programmedManufacturer = ReadBuffer(data->Manufacturer, d2xx::kManufacturerSize);
  programmedManufacturerId = ReadBuffer(data->ManufacturerId, d2xx::kManufacturerIdSize);
  programmedDescription = ReadBuffer(data->Description, d2xx::kDescriptionSize);
  programmedSerialNumber = ReadBuffer(data->SerialNumber, d2xx::kSerialNumberSize);
}

DWORD FakeD2xx::DeliverRead(std::uint8_t* buffer, DWORD count) {
  if (reads_.empty()) {
    return 0;
  }
  std::vector<std::uint8_t>& chunk = reads_.front();
  const std::size_t delivered = std::min<std::size_t>(count, chunk.size());
  std::copy_n(chunk.begin(), delivered, buffer);
  chunk.erase(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(delivered));
  if (chunk.empty()) {
    reads_.pop_front();
  }
  return static_cast<DWORD>(delivered);
}

std::string HexBytes(const std::uint8_t* bytes, std::size_t count) {
  std::string text;
  char pair[4];
  for (std::size_t i = 0; i < count; ++i) {
    std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
    text += (i == 0 ? "" : " ");
    text += pair;
  }
  return text;
}

}  // namespace klxr::testing
