// Our own declarations of the adapter driver's published C API (the functions the program calls,
// listed in d2xx_functions.h), written from its documented signatures. No driver header is needed
// to build.
//
// All of link/ reaches the driver through one D2xxFunctions table, filled either by loading a
// driver library (the vendor's, or any library exporting the same functions, such as the virtual
// meter) or directly by a test.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "link/d2xx_functions.h"
#include "platform/shared_library.h"

// The driver's functions follow the platform's convention for a library's exported functions.
#define KLXR_D2XX_CALL KLXR_LIBRARY_CALL

namespace klxr::d2xx {

// The driver's integer types: 32-bit on every platform (never `unsigned long`, which is 64 bits on
// 64-bit Linux).
using FT_STATUS = std::uint32_t;
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using UCHAR = std::uint8_t;
using USHORT = std::uint16_t;
using WORD = std::uint16_t;
using FT_HANDLE = void*;

// Status codes.
inline constexpr FT_STATUS FT_OK = 0;
inline constexpr FT_STATUS FT_INVALID_HANDLE = 1;
inline constexpr FT_STATUS FT_DEVICE_NOT_FOUND = 2;
inline constexpr FT_STATUS FT_DEVICE_NOT_OPENED = 3;
inline constexpr FT_STATUS FT_IO_ERROR = 4;
inline constexpr FT_STATUS FT_INSUFFICIENT_RESOURCES = 5;
inline constexpr FT_STATUS FT_INVALID_PARAMETER = 6;
inline constexpr FT_STATUS FT_INVALID_BAUD_RATE = 7;
inline constexpr FT_STATUS FT_DEVICE_NOT_OPENED_FOR_ERASE = 8;
inline constexpr FT_STATUS FT_DEVICE_NOT_OPENED_FOR_WRITE = 9;
inline constexpr FT_STATUS FT_FAILED_TO_WRITE_DEVICE = 10;
inline constexpr FT_STATUS FT_EEPROM_READ_FAILED = 11;
inline constexpr FT_STATUS FT_EEPROM_WRITE_FAILED = 12;
inline constexpr FT_STATUS FT_EEPROM_ERASE_FAILED = 13;
inline constexpr FT_STATUS FT_EEPROM_NOT_PRESENT = 14;
inline constexpr FT_STATUS FT_EEPROM_NOT_PROGRAMMED = 15;
inline constexpr FT_STATUS FT_INVALID_ARGS = 16;
inline constexpr FT_STATUS FT_NOT_SUPPORTED = 17;
inline constexpr FT_STATUS FT_OTHER_ERROR = 18;
inline constexpr FT_STATUS FT_DEVICE_LIST_NOT_READY = 19;

// The name of a status code as the driver's documentation spells it; "FT_UNKNOWN_STATUS" beyond
// the last one.
constexpr std::string_view StatusName(FT_STATUS status) {
  constexpr std::array<std::string_view, 20> kNames{
      "FT_OK",
      "FT_INVALID_HANDLE",
      "FT_DEVICE_NOT_FOUND",
      "FT_DEVICE_NOT_OPENED",
      "FT_IO_ERROR",
      "FT_INSUFFICIENT_RESOURCES",
      "FT_INVALID_PARAMETER",
      "FT_INVALID_BAUD_RATE",
      "FT_DEVICE_NOT_OPENED_FOR_ERASE",
      "FT_DEVICE_NOT_OPENED_FOR_WRITE",
      "FT_FAILED_TO_WRITE_DEVICE",
      "FT_EEPROM_READ_FAILED",
      "FT_EEPROM_WRITE_FAILED",
      "FT_EEPROM_ERASE_FAILED",
      "FT_EEPROM_NOT_PRESENT",
      "FT_EEPROM_NOT_PROGRAMMED",
      "FT_INVALID_ARGS",
      "FT_NOT_SUPPORTED",
      "FT_OTHER_ERROR",
      "FT_DEVICE_LIST_NOT_READY",
  };
  return status < kNames.size() ? kNames[status] : "FT_UNKNOWN_STATUS";
}

// What FT_Open answers for an adapter that is attached but that this user may not open (the open
// driver: no write permission on its USB device node). The code means "could not be opened for
// writing", which is what the system refused; "in use" stays FT_DEVICE_NOT_OPENED.
inline constexpr FT_STATUS kOpenNotPermitted = FT_DEVICE_NOT_OPENED_FOR_WRITE;

// Constants.
inline constexpr DWORD FT_LIST_NUMBER_ONLY = 0x80000000u;
inline constexpr ULONG FT_PURGE_RX = 1;
inline constexpr ULONG FT_PURGE_TX = 2;
inline constexpr UCHAR FT_BITS_8 = 8;
inline constexpr UCHAR FT_BITS_7 = 7;
inline constexpr UCHAR FT_STOP_BITS_1 = 0;
inline constexpr UCHAR FT_STOP_BITS_2 = 2;
inline constexpr UCHAR FT_PARITY_NONE = 0;
inline constexpr UCHAR FT_PARITY_ODD = 1;
inline constexpr UCHAR FT_PARITY_EVEN = 2;
inline constexpr UCHAR FT_PARITY_MARK = 3;
inline constexpr UCHAR FT_PARITY_SPACE = 4;
inline constexpr USHORT FT_FLOW_NONE = 0x0000;
inline constexpr USHORT FT_FLOW_RTS_CTS = 0x0100;
inline constexpr USHORT FT_FLOW_DTR_DSR = 0x0200;
inline constexpr USHORT FT_FLOW_XON_XOFF = 0x0400;

// FT232R CBUS pin functions.
inline constexpr UCHAR FT_232R_CBUS_TXDEN = 0x00;
inline constexpr UCHAR FT_232R_CBUS_PWRON = 0x01;
inline constexpr UCHAR FT_232R_CBUS_RXLED = 0x02;
inline constexpr UCHAR FT_232R_CBUS_TXLED = 0x03;
inline constexpr UCHAR FT_232R_CBUS_TXRXLED = 0x04;
inline constexpr UCHAR FT_232R_CBUS_SLEEP = 0x05;
inline constexpr UCHAR FT_232R_CBUS_CLK48 = 0x06;
inline constexpr UCHAR FT_232R_CBUS_CLK24 = 0x07;
inline constexpr UCHAR FT_232R_CBUS_CLK12 = 0x08;
inline constexpr UCHAR FT_232R_CBUS_CLK6 = 0x09;
inline constexpr UCHAR FT_232R_CBUS_IOMODE = 0x0A;
inline constexpr UCHAR FT_232R_CBUS_BITBANG_WR = 0x0B;
inline constexpr UCHAR FT_232R_CBUS_BITBANG_RD = 0x0C;

// Sizes of the caller-owned string buffers the EEPROM block points to.
inline constexpr std::size_t kManufacturerSize = 32;
inline constexpr std::size_t kManufacturerIdSize = 16;
inline constexpr std::size_t kDescriptionSize = 64;
inline constexpr std::size_t kSerialNumberSize = 16;

// The adapter's EEPROM block, in the driver's field order and natural alignment, declared up to the
// last FT232R field. The fields of later chip generations follow as reserved bytes, so that a newer
// driver filling a block of its own latest version can never write past ours.
struct FT_PROGRAM_DATA {
  DWORD Signature1;  // 0x00000000
  DWORD Signature2;  // 0xFFFFFFFF
  DWORD Version;     // 2 for the FT232R fields
  WORD VendorId;
  WORD ProductId;
  char* Manufacturer;
  char* ManufacturerId;
  char* Description;
  char* SerialNumber;
  WORD MaxPower;  // milliamperes
  WORD PnP;
  WORD SelfPowered;
  WORD RemoteWakeup;
  // Version 0 (FT232B/BM)
  UCHAR Rev4;
  UCHAR IsoIn;
  UCHAR IsoOut;
  UCHAR PullDownEnable;
  UCHAR SerNumEnable;
  UCHAR USBVersionEnable;
  WORD USBVersion;
  // Version 1 (FT2232)
  UCHAR Rev5;
  UCHAR IsoInA;
  UCHAR IsoInB;
  UCHAR IsoOutA;
  UCHAR IsoOutB;
  UCHAR PullDownEnable5;
  UCHAR SerNumEnable5;
  UCHAR USBVersionEnable5;
  WORD USBVersion5;
  UCHAR AIsHighCurrent;
  UCHAR BIsHighCurrent;
  UCHAR IFAIsFifo;
  UCHAR IFAIsFifoTar;
  UCHAR IFAIsFastSer;
  UCHAR AIsVCP;
  UCHAR IFBIsFifo;
  UCHAR IFBIsFifoTar;
  UCHAR IFBIsFastSer;
  UCHAR BIsVCP;
  // Version 2 (FT232R)
  UCHAR UseExtOsc;
  UCHAR HighDriveIOs;
  UCHAR EndpointSize;
  UCHAR PullDownEnableR;
  UCHAR SerNumEnableR;
  UCHAR InvertTXD;
  UCHAR InvertRXD;
  UCHAR InvertRTS;
  UCHAR InvertCTS;
  UCHAR InvertDTR;
  UCHAR InvertDSR;
  UCHAR InvertDCD;
  UCHAR InvertRI;
  UCHAR Cbus0;
  UCHAR Cbus1;
  UCHAR Cbus2;
  UCHAR Cbus3;
  UCHAR Cbus4;
  UCHAR RIsD2XX;
  // Versions 3 to 5 (FT2232H, FT4232H, FT232H): 72 one-byte fields we never use.
  UCHAR LaterVersionFields[72];
};

#if defined(__x86_64__) || defined(_M_X64) || defined(__aarch64__) || defined(_M_ARM64)
static_assert(offsetof(FT_PROGRAM_DATA, Manufacturer) == 16);
static_assert(offsetof(FT_PROGRAM_DATA, PnP) == 50);
static_assert(offsetof(FT_PROGRAM_DATA, Rev4) == 56);
static_assert(offsetof(FT_PROGRAM_DATA, Rev5) == 64);
static_assert(offsetof(FT_PROGRAM_DATA, InvertTXD) == 89);
static_assert(offsetof(FT_PROGRAM_DATA, Cbus0) == 97);
static_assert(offsetof(FT_PROGRAM_DATA, RIsD2XX) == 102);
static_assert(sizeof(FT_PROGRAM_DATA) == 176);
#elif defined(__i386__) || defined(_M_IX86)  // 32-bit x86: four-byte pointers
static_assert(offsetof(FT_PROGRAM_DATA, PnP) == 34);
static_assert(offsetof(FT_PROGRAM_DATA, InvertTXD) == 73);
static_assert(offsetof(FT_PROGRAM_DATA, Cbus0) == 81);
static_assert(sizeof(FT_PROGRAM_DATA) == 160);
#endif

// The type of each function's pointer, FT_Open_t for FT_Open, as the driver exports it.
#define KLXR_D2XX_POINTER_TYPE(name, shortName, parameters, arguments) \
  using name##_t = FT_STATUS(KLXR_D2XX_CALL*) parameters;
KLXR_D2XX_FUNCTIONS(KLXR_D2XX_POINTER_TYPE)
#undef KLXR_D2XX_POINTER_TYPE

// The table every driver call goes through. All required entries are set, or there is no table;
// the optional entries after them are null when the library lacks them (fast transfer needs all
// three).
#define KLXR_D2XX_TABLE_ENTRY(name, shortName, parameters, arguments) name##_t name = nullptr;
struct D2xxFunctions {
  KLXR_D2XX_FUNCTIONS(KLXR_D2XX_TABLE_ENTRY)
};
#undef KLXR_D2XX_TABLE_ENTRY

// True when the table holds the three optional functions fast transfer uses.
inline bool HasFastTransferFunctions(const D2xxFunctions& table) {
  return table.FT_GetQueueStatus != nullptr && table.FT_SetLatencyTimer != nullptr &&
         table.FT_GetLatencyTimer != nullptr;
}

}  // namespace klxr::d2xx
