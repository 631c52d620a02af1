#include "resources/string_table.h"

#include <array>
#include <utility>

namespace klxr {
namespace {

// Texts are 8-bit characters, stored exactly as the program shows them.
constexpr std::array kStringTable{
    StringEntry{110, "Error - Ack not received"},
    StringEntry{112, "Error: Not enough memory to create ComAccess object!"},
    StringEntry{120, "Can't read system registry, COM setting will not be saved"},
    StringEntry{124, "Error - Handshake not received"},
    StringEntry{128, "Transfer Complete!"},
    StringEntry{130, "Invalid binary file"},
    StringEntry{132, "Error - Invalid data file"},
    StringEntry{138, "File loaded successfully"},
    StringEntry{142, "Can't load program image"},
    StringEntry{144, "Can't save program image"},
    StringEntry{146, "About..."},
    StringEntry{148, "Enter Filename"},
    StringEntry{150, "Enter file and path"},
    StringEntry{152, "Cancel"},
    StringEntry{156, "Confirm file overwrite?"},
    StringEntry{167, "KL-XR Meter - Log"},
    StringEntry{168, "Warning, can't load USB driver (ftd2xx.dll)"},
    StringEntry{214, "USB Devices"},
    StringEntry{216, "USB Port Error"},
    StringEntry{218, "You must install the USB driver first!"},
    StringEntry{220,
                "The device has been upgraded and is recycling. You may need to disconnect then "
                "reconnect the USB lead."},
    StringEntry{222, "No devices found"},
    StringEntry{223, "Checksum error"},
    StringEntry{224,
                "Please confirm that you wish to erase the meter log data?\n"
                "(This may take a few seconds)"},
    StringEntry{225, "Meter log data erased"},
    StringEntry{226, "Invalid log entry"},
    StringEntry{227, "No logging data present"},
};

}  // namespace

std::string_view LoadString(int stringId) {
  for (const StringEntry& entry : kStringTable) {
    if (entry.id == stringId) {
      return entry.text;
    }
  }
  return {};
}

std::span<const StringEntry> StringTableEntries() {
  return kStringTable;
}

}  // namespace klxr
