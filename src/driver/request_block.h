// request_block.h - the 4096-byte request block shared with the controller driver, and the
// control code it travels with. Every field is little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "common/little_endian.h"

constexpr uint32_t kIoctlQnt5200MpAccess = 0x122400;
constexpr uint32_t kRequestBlockSize = 4096;
constexpr uint32_t kRequestHeaderSize = 16;
constexpr uint32_t kRequestDataSize = kRequestBlockSize - kRequestHeaderSize;

constexpr uint32_t kSignatureDefaultAdapter = 0x10002;
constexpr uint32_t kSignatureIndexedAdapter = 0x20001;

// Field offsets.
constexpr size_t kOffsetSignature = 0;
constexpr size_t kOffsetCommand = 4;
constexpr size_t kOffsetAdapterStatus = 8;
constexpr size_t kOffsetParameter = 12;
constexpr size_t kOffsetCount = 14;
constexpr size_t kOffsetData = 16;

// Driver status values in the adapter-index word of an answer.
constexpr uint32_t kStatusSuccess = 0;
constexpr uint32_t kStatusAccessFailed = 1;

struct DriverRequest {
  uint8_t bytes[kRequestBlockSize] = {};

  uint32_t Get32(size_t offset) const { return GetLe32(bytes, offset); }
  uint16_t Get16(size_t offset) const { return GetLe16(bytes, offset); }
  void Put32(size_t offset, uint32_t value) { PutLe32(bytes, offset, value); }
  void Put16(size_t offset, uint16_t value) { PutLe16(bytes, offset, value); }
  uint8_t* data() { return bytes + kOffsetData; }
  const uint8_t* data() const { return bytes + kOffsetData; }
};

// Command codes of the driver.
enum DriverCommand : uint32_t {
  kCmdE2pReadByte = 1,
  kCmdE2pWriteByte = 2,
  kCmdE2pReadBlock = 3,
  kCmdE2pWriteBlock = 4,
  kCmdE2pCommand = 5,
  kCmdGetDriverVersion = 7,
  kCmdReadRegister = 8,
  kCmdWriteRegister = 9,
  kCmdReadPhy = 10,
  kCmdWritePhy = 11,
  kCmdReadTxRxStats = 12,
  kCmdSetLinkMode = 15,
  kCmdGetAdapterBits = 16,
  kCmdGetAdapterLocation = 17,
  kCmdGetAdapterRegistryKey = 18,
  kCmdGetAdapterPdoName = 19,
  kCmdGetAdapterPort = 20,
  kCmdOtpReadBlock = 23,
  kCmdOtpWriteBlock = 24,
  kCmdOtpConfigure = 25,
  kCmdSetLinkState = 26,
  kCmdReadPciConfig = 28,
  kCmdWritePciConfig = 29,
  kCmdReadPciePhy = 30,
  kCmdWritePciePhy = 31,
};

// Bracket values of E2P_COMMAND and OTP_CONFIGURE.
constexpr uint32_t kE2pOpenWrite = 0x20000000;
constexpr uint32_t kE2pCloseWrite = 0x10000000;
constexpr uint32_t kOtpOpenRead = 0x2000000;
constexpr uint32_t kOtpOpenWrite = 0x6000002;
constexpr uint32_t kOtpClose = 0x1000000;

constexpr uint32_t kTxRxStatsSize = 196;
