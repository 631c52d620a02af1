#include "link/eeprom_check.h"

#include <algorithm>

#include "link/com_access.h"

namespace klxr {
namespace {

// The text in a description buffer: up to its terminating zero, or the whole buffer when the
// driver left none.
std::string_view DescriptionText(std::span<const char, d2xx::kDescriptionSize> description) {
  const auto end = std::find(description.begin(), description.end(), '\0');
  return std::string_view(description.data(), static_cast<std::size_t>(end - description.begin()));
}

// Corrects one field when it holds the one value that needs correcting.
template <typename Field>
bool CorrectWhenEqual(Field& field, int wrongValue, int requiredValue) {
  if (field != wrongValue) {
    return false;
  }
  field = static_cast<Field>(requiredValue);
  return true;
}

}  // namespace

bool CorrectAdapterSettings(d2xx::FT_PROGRAM_DATA& block,
                            std::span<char, d2xx::kDescriptionSize> description) {
  bool changed = false;
  changed |= CorrectWhenEqual(block.PnP, 1, 0);
  changed |= CorrectWhenEqual(block.SelfPowered, 1, 0);
  changed |= CorrectWhenEqual(block.InvertDTR, 0, 1);
  changed |= CorrectWhenEqual(block.InvertRXD, 1, 0);
  changed |= CorrectWhenEqual(block.InvertTXD, 1, 0);
  if (block.Cbus4 != d2xx::FT_232R_CBUS_SLEEP) {
    block.Cbus4 = d2xx::FT_232R_CBUS_SLEEP;
    changed = true;
  }
  if (DescriptionText(description) != RequiredDescription) {
    static_assert(RequiredDescription.size() < d2xx::kDescriptionSize);
    std::copy(RequiredDescription.begin(), RequiredDescription.end(), description.begin());
    description[RequiredDescription.size()] = '\0';
    changed = true;
  }
  return changed;
}

d2xx::FT_STATUS ComAccess::CheckEeprom(bool program) {
  bool openedHere = false;
  if (!IsOpen()) {
    if (Open(0) != d2xx::FT_OK) {
      return Status;
    }
    openedHere = true;
  }

  ProgramData.Signature1 = kEepromSignature1;
  ProgramData.Signature2 = kEepromSignature2;
  ProgramData.Version = kEepromBlockVersion;
  ProgramData.VendorId = DefaultVendorId;
  ProgramData.ProductId = DefaultProductId;
  ProgramData.Manufacturer = ManufacturerBuf.data();
  ProgramData.ManufacturerId = ManufacturerIdBuf.data();
  ProgramData.Description = DescriptionBuf.data();
  ProgramData.SerialNumber = SerialNumberBuf.data();
  ProgramData.MaxPower = kRequestMaxPower;
  ProgramData.PnP = 0;
  ProgramData.SelfPowered = 0;
  ProgramData.RemoteWakeup = 0;

  Status = driver_.FT_EE_Read(Handle, &ProgramData);
  if (Status == d2xx::FT_OK) {
    EepromChanged = CorrectAdapterSettings(ProgramData, DescriptionBuf) ? 1 : 0;
    if (EepromChanged == 1 && program) {
      Status = driver_.FT_EE_Program(Handle, &ProgramData);
      // The adapter re-enumerates with its new settings whether or not programming reported
      // success; the handle is dead afterwards and the callers close it.
      driver_.FT_CyclePort(Handle);
    }
  }

  if (openedHere) {
    Close();
  }
  return Status;
}

}  // namespace klxr
