#include "cli/device_choice.h"

#include <algorithm>
#include <array>
#include <climits>

#include "link/eeprom_check.h"

namespace klxr::cli {
namespace {

// The text of a string buffer the driver filled: up to its zero, or the whole buffer.
template <std::size_t Size>
std::string TextOf(const std::array<char, Size>& buffer) {
  const auto end = std::find(buffer.begin(), buffer.end(), '\0');
  return std::string(buffer.begin(), end);
}

// An EEPROM read that asks for the FT232R layout, with string buffers of the driver's sizes.
struct EepromRequest {
  EepromRequest() {
    block.Signature1 = kEepromSignature1;
    block.Signature2 = kEepromSignature2;
    block.Version = kEepromBlockVersion;
    block.Manufacturer = manufacturer.data();
    block.ManufacturerId = manufacturerId.data();
    block.Description = description.data();
    block.SerialNumber = serialNumber.data();
  }
  EepromRequest(const EepromRequest&) = delete;
  EepromRequest& operator=(const EepromRequest&) = delete;

  d2xx::FT_PROGRAM_DATA block{};
  std::array<char, d2xx::kManufacturerSize> manufacturer{};
  std::array<char, d2xx::kManufacturerIdSize> manufacturerId{};
  std::array<char, d2xx::kDescriptionSize> description{};
  std::array<char, d2xx::kSerialNumberSize> serialNumber{};
};

bool IsIndexText(std::string_view value) {
  return !value.empty() && value.size() <= 9 &&
         std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::int32_t CountDevices(const d2xx::D2xxFunctions& driver) {
  d2xx::DWORD count = 0;
  if (driver.FT_ListDevices(&count, nullptr, d2xx::FT_LIST_NUMBER_ONLY) != d2xx::FT_OK) {
    return 0;
  }
  return static_cast<std::int32_t>(std::min<d2xx::DWORD>(count, INT_MAX));
}

std::optional<AdapterIdentity> ReadAdapterIdentity(const d2xx::D2xxFunctions& driver,
                                                   std::int32_t index) {
  d2xx::FT_HANDLE handle = nullptr;
  if (driver.FT_Open(index, &handle) != d2xx::FT_OK) {
    return std::nullopt;
  }
  EepromRequest request;
  const d2xx::FT_STATUS status = driver.FT_EE_Read(handle, &request.block);
  driver.FT_Close(handle);
  if (status != d2xx::FT_OK) {
    return std::nullopt;
  }
  return AdapterIdentity{TextOf(request.serialNumber), TextOf(request.description)};
}

DeviceChoice ChooseDevice(const d2xx::D2xxFunctions& driver, std::string_view value) {
  const std::int32_t count = CountDevices(driver);
  if (IsIndexText(value)) {
    const std::int32_t index = std::stoi(std::string(value));
    if (index < count) {
      return {index, ""};
    }
  }
  int unreadable = 0;
  for (std::int32_t index = 0; index < count; ++index) {
    const std::optional<AdapterIdentity> identity = ReadAdapterIdentity(driver, index);
    if (!identity) {
      ++unreadable;
    } else if (identity->serialNumber == value) {
      return {index, ""};
    }
  }
  std::string error = "no USB device '" + std::string(value) + "': ";
  if (count == 0) {
    return {-1, error + "none is attached"};
  }
  error += std::to_string(count) + (count == 1 ? " device is" : " devices are") +
           " attached, indexes 0 to " + std::to_string(count - 1) +
           ", and none has that serial number";
  if (unreadable > 0) {
    error += " (" + std::to_string(unreadable) + " could not be opened to read it)";
  }
  return {-1, error};
}

}  // namespace klxr::cli
