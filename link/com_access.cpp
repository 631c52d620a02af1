#include "link/com_access.h"

#include <cstring>

namespace klxr {

using d2xx::FT_OK;
using d2xx::FT_STATUS;

FT_STATUS ComAccess::Open(std::int32_t deviceIndex) {
  Status = driver_.FT_Open(deviceIndex, &Handle);
  if (Status == FT_OK) {
    OpenIndex = deviceIndex;
  } else {
    Handle = nullptr;
  }
  return Status;
}

FT_STATUS ComAccess::Close() {
  if (!IsOpen()) {
    return FT_OK;
  }
  Status = driver_.FT_Close(Handle);
  Handle = nullptr;
  OpenIndex = -1;
  return Status;
}

FT_STATUS ComAccess::Write(const void* buffer, d2xx::DWORD count) {
  if (!IsOpen()) {
    return FT_OK;
  }
  // The driver's signature lacks const; it only reads the bytes.
  Status = driver_.FT_Write(Handle, const_cast<void*>(buffer), count, &BytesWritten);
  return Status;
}

FT_STATUS ComAccess::Read(void* buffer, d2xx::DWORD count) {
  if (!IsOpen()) {
    return FT_OK;
  }
  Status = driver_.FT_Read(Handle, buffer, count, &BytesRead);
  return Status;
}

FT_STATUS ComAccess::Purge(std::uint32_t mask) {
  if (!IsOpen()) {
    return FT_OK;
  }
  Status = driver_.FT_Purge(Handle, mask);
  return Status;
}

FT_STATUS ComAccess::SetBaudRate(std::uint32_t baudRate) {
  if (!IsOpen()) {
    return FT_OK;
  }
  BaudRate = baudRate;
  Status = driver_.FT_SetBaudRate(Handle, baudRate);
  return Status;
}

FT_STATUS ComAccess::SetDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits,
                                            std::uint8_t parity) {
  if (!IsOpen()) {
    return FT_OK;
  }
  WordLength = wordLength;
  StopBits = stopBits;
  Parity = parity;
  Status = driver_.FT_SetDataCharacteristics(Handle, wordLength, stopBits, parity);
  return Status;
}

FT_STATUS ComAccess::SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) {
  if (!IsOpen()) {
    return FT_OK;
  }
  ReadTimeout = readTimeoutMs;
  WriteTimeout = writeTimeoutMs;
  Status = driver_.FT_SetTimeouts(Handle, readTimeoutMs, writeTimeoutMs);
  return Status;
}

FT_STATUS ComAccess::SetDtrState(bool on) {
  if (!IsOpen()) {
    return FT_OK;
  }
  Status = on ? driver_.FT_SetDtr(Handle) : driver_.FT_ClrDtr(Handle);
  return Status;
}

FT_STATUS ComAccess::SetFlowControl(std::uint16_t mode, std::uint8_t xon, std::uint8_t xoff) {
  if (!IsOpen()) {
    return FT_OK;
  }
  Status = driver_.FT_SetFlowControl(Handle, mode, xon, xoff);
  return Status;
}

void ComAccess::ReleaseAfterFailedDtr() {
  // An adapter left open here would be held by this port although nothing can use it: the next
  // open of the same device, by this port or by discovery, would find it busy.
  if (!IsOpen()) {
    return;
  }
  const FT_STATUS failure = Status;
  Close();
  Status = failure;
}

FT_STATUS ComAccess::QueueStatus() {
  if (!IsOpen()) {
    return FT_OK;
  }
  if (driver_.FT_GetQueueStatus == nullptr) {
    Status = d2xx::FT_NOT_SUPPORTED;
    return Status;
  }
  BytesWaiting = 0;
  Status = driver_.FT_GetQueueStatus(Handle, &BytesWaiting);
  return Status;
}

FT_STATUS ComAccess::SetLatencyTimer(std::uint8_t milliseconds) {
  if (!IsOpen()) {
    return FT_OK;
  }
  if (driver_.FT_SetLatencyTimer == nullptr) {
    Status = d2xx::FT_NOT_SUPPORTED;
    return Status;
  }
  Status = driver_.FT_SetLatencyTimer(Handle, milliseconds);
  return Status;
}

FT_STATUS ComAccess::OpenAndConfigure(std::int32_t deviceIndex, std::uint32_t baudRate,
                                      std::uint8_t wordLength, std::uint8_t stopBits,
                                      std::uint8_t parity) {
  Open(deviceIndex);
  // Lowering DTR calls nothing when the open failed; Status then still holds the open's failure.
  SetDtrState(false);
  if (Status != FT_OK) {
    ReleaseAfterFailedDtr();
    return Status;
  }
  SetBaudRate(baudRate);
  SetDataCharacteristics(wordLength, stopBits, parity);
  SetFlowControl(d2xx::FT_FLOW_NONE, 0, 0);
  return Status;
}

std::optional<std::string> AdapterSerialOf(const ComAccess* port) {
  if (port == nullptr) {
    return std::nullopt;
  }
  const auto& buffer = port->SerialNumberBuf;
  std::string serial(buffer.data(), strnlen(buffer.data(), buffer.size()));
  return serial.empty() ? std::nullopt : std::optional<std::string>(std::move(serial));
}

}  // namespace klxr
