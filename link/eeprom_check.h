// The adapter EEPROM settings the meter link needs, and the pure comparison that corrects a block
// read from the adapter. ComAccess::CheckEeprom (eeprom_check.cpp) reads, corrects, programs and
// cycles the adapter around it.
#pragma once

#include <span>
#include <string_view>

#include "link/d2xx_api.h"

namespace klxr {

// The product description the adapter must report.
inline constexpr std::string_view RequiredDescription = "Quorvel KLXR";

// The values the request block carries into the EEPROM read; the read replaces them.
inline constexpr d2xx::DWORD kEepromSignature1 = 0x00000000;
inline constexpr d2xx::DWORD kEepromSignature2 = 0xFFFFFFFF;
inline constexpr d2xx::DWORD kEepromBlockVersion = 2;  // the layout with the FT232R fields
inline constexpr d2xx::WORD kRequestMaxPower = 90;     // milliamperes

// Applies the seven required settings, in order, to a block that was read from the adapter: Plug
// and Play off (PnP 1 -> 0), bus-powered (SelfPowered 1 -> 0), DTR inverted (InvertDTR 0 -> 1), RXD
// and TXD not inverted (1 -> 0), CBUS4 giving SLEEP# (anything but 5 -> 5), and the description
// exactly RequiredDescription. Each test compares with one exact value, so for example PnP 2 stays.
// Every other field and byte is left alone. Returns true when anything was corrected.
bool CorrectAdapterSettings(d2xx::FT_PROGRAM_DATA& block,
                            std::span<char, d2xx::kDescriptionSize> description);

}  // namespace klxr
