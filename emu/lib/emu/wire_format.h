// wire_format.h - the driver's side of the request block: the control code, the header fields,
// the command codes, the bracket values and the status and system error codes it answers with.
#pragma once

#include <cstddef>
#include <cstdint>

namespace emu {

constexpr uint32_t kControlCode = 0x122400;
constexpr uint32_t kBlockSize = 4096;
constexpr uint32_t kHeaderSize = 16;
constexpr uint32_t kDataSize = kBlockSize - kHeaderSize;

constexpr uint32_t kSignatureAdapterZero = 0x10002;
constexpr uint32_t kSignatureIndexed = 0x20001;

constexpr size_t kFieldSignature = 0;
constexpr size_t kFieldCommand = 4;
constexpr size_t kFieldAdapterStatus = 8;
constexpr size_t kFieldParameter = 12;
constexpr size_t kFieldCount = 14;
constexpr size_t kFieldData = 16;

// Statuses written back into the adapter word.
constexpr uint32_t kStatusOk = 0;
// Access refused: a write outside its bracket, an address outside the memory or register space.
constexpr uint32_t kStatusRefused = 1;
// Not understood: an unknown command code, bracket value, link mode or link state.
constexpr uint32_t kStatusInvalid = 2;

// System error codes with which the control call itself fails.
constexpr uint32_t kErrorInvalidFunction = 1;    // not the driver's control code
constexpr uint32_t kErrorFileNotFound = 2;       // no adapters; a request for a missing adapter
constexpr uint32_t kErrorAccessDenied = 5;       // the adapter state cannot be read or written
constexpr uint32_t kErrorInvalidHandle = 6;      // the control device is not open
constexpr uint32_t kErrorInvalidParameter = 87;  // bad signature, lengths the command cannot take

enum Command : uint32_t {
  kE2pReadByte = 1,
  kE2pWriteByte = 2,
  kE2pReadBlock = 3,
  kE2pWriteBlock = 4,
  kE2pCommand = 5,
  kGetDriverVersion = 7,
  kReadRegister = 8,
  kWriteRegister = 9,
  kReadPhy = 10,
  kWritePhy = 11,
  kReadTxRxStats = 12,
  kSetLinkMode = 15,
  kGetAdapterBits = 16,
  kGetAdapterLocation = 17,
  kGetAdapterRegistryKey = 18,
  kGetAdapterPdoName = 19,
  kGetAdapterPort = 20,
  kOtpReadBlock = 23,
  kOtpWriteBlock = 24,
  kOtpConfigure = 25,
  kSetLinkState = 26,
  kReadPciConfig = 28,
  kWritePciConfig = 29,
  kReadPciePhy = 30,
  kWritePciePhy = 31,
};

constexpr uint32_t kE2pOpen = 0x20000000;
constexpr uint32_t kE2pClose = 0x10000000;
constexpr uint32_t kOtpOpenForRead = 0x2000000;
constexpr uint32_t kOtpOpenForWrite = 0x6000002;
constexpr uint32_t kOtpCloseAccess = 0x1000000;

constexpr uint32_t kEepromCapacity = 512;
constexpr uint32_t kOtpSize = 512;
constexpr uint32_t kPciConfigSize = 4096;
constexpr uint32_t kStatCount = 49;

inline uint32_t Load32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint16_t Load16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline void Store32(uint8_t* p, uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}
inline void Store16(uint8_t* p, uint16_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
}

// The command's name as the driver's documentation writes it, or nullptr for an unknown code.
const char* CommandName(uint32_t command);
// The code of a command named as CommandName writes it (case-insensitive), or of a decimal
// number; false when |text| is neither.
bool ParseCommand(const char* text, uint32_t* command);

}  // namespace emu
