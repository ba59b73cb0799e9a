// request_handler.cpp - one routine per driver command, chosen from a table that also holds the
// input length each command needs.
#include "emu/request_handler.h"

#include <algorithm>
#include <cstring>

#include "emu/link_model.h"
#include "emu/pci_config.h"
#include "emu/phy_model.h"
#include "emu/text_codec.h"

namespace emu {
namespace {

constexpr uint32_t kRegisterSpaceEnd = 0x10000;

struct Request {
  AdapterState& state;
  uint8_t* block;
  uint32_t in_length;
  int64_t now_ms;
  HandlerResult result;

  uint8_t* data() { return block + kFieldData; }
  uint32_t Parameter() const { return Load32(block + kFieldParameter); }
  uint16_t Position() const { return Load16(block + kFieldParameter); }
  uint16_t Count() const { return Load16(block + kFieldCount); }
  void Answer(uint32_t data_bytes) { result.returned = kHeaderSize + data_bytes; }
};

// Input length rule of a command.
enum class InputRule {
  kAny,        // the header is enough; reads are sent with the whole block
  kAtLeast,    // at least min_input bytes
  kCountData,  // exactly 16 + the count at offset 14
  kPhyWrite,   // 18 (a 16-bit value) or 20 (a 32-bit value)
};

struct CommandHandler {
  uint32_t command;
  InputRule rule;
  uint32_t min_input;
  uint32_t (*handle)(Request&);
};

// Controller registers with bits a write cannot change.
struct RegisterMask {
  uint32_t address;
  uint32_t writable;
};

constexpr RegisterMask kRegisterMasks[] = {
    {.address = 0x0, .writable = 0x00000000},   // chip ID and revision
    {.address = 0x10, .writable = 0x00FFFFFF},  // hardware configuration: upper byte reserved
};

uint32_t EepromMask(const AdapterState& state) { return state.eeprom_size - 1; }

uint32_t E2pReadByte(Request& r) {
  const uint32_t offset = r.Position();
  if (offset >= kEepromCapacity) return kStatusRefused;
  r.data()[0] = r.state.eeprom[offset & EepromMask(r.state)];
  r.Answer(1);
  return kStatusOk;
}

uint32_t E2pWriteByte(Request& r) {
  const uint32_t offset = r.Position();
  if (!r.state.e2p_open || offset >= kEepromCapacity) return kStatusRefused;
  r.state.eeprom[offset & EepromMask(r.state)] = r.data()[0];
  r.result.nonvolatile_changed = true;
  return kStatusOk;
}

uint32_t E2pReadBlock(Request& r) {
  const uint32_t position = r.Position();
  const uint32_t count = r.Count();
  if (position + count > kEepromCapacity) return kStatusRefused;
  for (uint32_t i = 0; i < count; ++i) {
    r.data()[i] = r.state.eeprom[(position + i) & EepromMask(r.state)];
  }
  r.Answer(count);
  return kStatusOk;
}

uint32_t E2pWriteBlock(Request& r) {
  const uint32_t position = r.Position();
  const uint32_t count = r.Count();
  if (!r.state.e2p_open || position + count > kEepromCapacity) return kStatusRefused;
  for (uint32_t i = 0; i < count; ++i) {
    r.state.eeprom[(position + i) & EepromMask(r.state)] = r.data()[i];
  }
  r.result.nonvolatile_changed = count > 0;
  return kStatusOk;
}

uint32_t E2pCommand(Request& r) {
  switch (r.Parameter()) {
    case kE2pOpen:
      r.state.e2p_open = true;
      return kStatusOk;
    case kE2pClose:
      r.state.e2p_open = false;
      return kStatusOk;
    default:
      return kStatusInvalid;
  }
}

uint32_t AnswerWords(Request& r, const uint32_t* words, size_t count) {
  for (size_t i = 0; i < count; ++i) Store32(r.data() + 4 * i, words[i]);
  r.Answer(static_cast<uint32_t>(4 * count));
  return kStatusOk;
}

uint32_t GetDriverVersion(Request& r) {
  return AnswerWords(r, r.state.driver_version.data(), r.state.driver_version.size());
}

uint32_t GetAdapterBits(Request& r) {
  return AnswerWords(r, r.state.adapter_bits.data(), r.state.adapter_bits.size());
}

uint32_t GetAdapterPort(Request& r) { return AnswerWords(r, &r.state.port, 1); }

uint32_t ReadTxRxStats(Request& r) {
  return AnswerWords(r, r.state.stats.data(), r.state.stats.size());
}

uint32_t AnswerText(Request& r, const std::string& text) {
  std::vector<uint8_t> wide = Utf8ToUtf16Le(text);
  if (wide.size() > kDataSize) {
    wide.resize(kDataSize);
    wide[kDataSize - 2] = 0;
    wide[kDataSize - 1] = 0;
  }
  std::memcpy(r.data(), wide.data(), wide.size());
  r.Answer(static_cast<uint32_t>(wide.size()));
  return kStatusOk;
}

uint32_t GetAdapterLocation(Request& r) { return AnswerText(r, r.state.location); }
uint32_t GetAdapterRegistryKey(Request& r) { return AnswerText(r, r.state.registry_key); }
uint32_t GetAdapterPdoName(Request& r) { return AnswerText(r, r.state.pdo_name); }

uint32_t ReadRegister(Request& r) {
  const uint32_t address = r.Parameter();
  if (!RegisterAddressValid(address)) return kStatusRefused;
  uint32_t value = r.state.id_value;
  if (address != 0) {
    const auto found = r.state.registers.find(address);
    value = found == r.state.registers.end() ? 0 : found->second;
  }
  Store32(r.data(), value);
  r.Answer(4);
  return kStatusOk;
}

uint32_t WriteRegister(Request& r) {
  const uint32_t address = r.Parameter();
  if (!RegisterAddressValid(address)) return kStatusRefused;
  if (address == 0) return kStatusOk;
  uint32_t& value = r.state.registers[address];
  value = RegisterAfterWrite(address, value, Load32(r.data()));
  return kStatusOk;
}

uint32_t ReadPhyCommand(Request& r) {
  const uint32_t index = r.Parameter();
  const uint32_t value = ReadPhy(r.state, index, r.now_ms);
  if (PhyIndexIsWide(index)) {
    Store32(r.data(), value);
    r.Answer(4);
  } else {
    Store16(r.data(), static_cast<uint16_t>(value));
    r.Answer(2);
  }
  return kStatusOk;
}

uint32_t WritePhyCommand(Request& r) {
  const uint32_t value = r.in_length == kHeaderSize + 2 ? Load16(r.data()) : Load32(r.data());
  WritePhy(r.state, r.Parameter(), value, r.now_ms);
  return kStatusOk;
}

uint32_t SetLinkMode(Request& r) {
  const uint32_t status = ApplyLinkMode(r.state, Load32(r.data()), r.now_ms);
  if (status != kStatusOk) return status;
  r.data()[0] = r.state.link.mode_reply;
  r.Answer(1);
  return kStatusOk;
}

uint32_t SetLinkState(Request& r) { return ApplyLinkState(r.state, Load32(r.data()), r.now_ms); }

uint32_t OtpConfigure(Request& r) {
  switch (r.Parameter()) {
    case kOtpOpenForRead:
      r.state.otp_access = OtpAccess::kRead;
      return kStatusOk;
    case kOtpOpenForWrite:
      r.state.otp_access = OtpAccess::kWrite;
      return kStatusOk;
    case kOtpCloseAccess:
      r.state.otp_access = OtpAccess::kClosed;
      return kStatusOk;
    default:
      return kStatusInvalid;
  }
}

uint32_t OtpReadBlock(Request& r) {
  const uint32_t offset = r.Position();
  const uint32_t count = r.Count();
  if (r.state.otp_access != OtpAccess::kRead || offset + count > kOtpSize) return kStatusRefused;
  std::memcpy(r.data(), r.state.otp.data() + offset, count);
  r.Answer(count);
  return kStatusOk;
}

// A programmed OTP bit stays programmed: the cells take the OR of old and new contents.
uint32_t OtpWriteBlock(Request& r) {
  const uint32_t offset = r.Position();
  const uint32_t count = r.Count();
  if (r.state.otp_access != OtpAccess::kWrite || offset + count > kOtpSize) return kStatusRefused;
  for (uint32_t i = 0; i < count; ++i) r.state.otp[offset + i] |= r.data()[i];
  r.result.nonvolatile_changed = count > 0;
  return kStatusOk;
}

bool PciRangeValid(uint32_t offset, uint32_t size) {
  return (size == 1 || size == 2 || size == 4) && offset + size <= kPciConfigSize;
}

uint32_t ReadPciConfig(Request& r) {
  const uint32_t offset = r.Position();
  const uint32_t size = r.Count();
  if (!PciRangeValid(offset, size)) return kStatusRefused;
  uint32_t value = 0;
  for (uint32_t i = 0; i < size; ++i) value |= uint32_t{r.state.pci_config[offset + i]} << (8 * i);
  Store32(r.data(), value);
  r.Answer(4);
  return kStatusOk;
}

uint32_t WritePciConfig(Request& r) {
  const uint32_t offset = r.Position();
  const uint32_t size = r.Count();
  if (!PciRangeValid(offset, size)) return kStatusRefused;
  for (uint32_t i = 0; i < size; ++i) {
    if (PciConfigByteWritable(offset + i)) r.state.pci_config[offset + i] = r.data()[i];
  }
  return kStatusOk;
}

uint32_t ReadPciePhy(Request& r) {
  const auto found = r.state.pcie_phy.find(r.Position());
  Store16(r.data(), found == r.state.pcie_phy.end() ? 0 : found->second);
  r.Answer(2);
  return kStatusOk;
}

uint32_t WritePciePhy(Request& r) {
  r.state.pcie_phy[r.Position()] = Load16(r.data());
  return kStatusOk;
}

constexpr CommandHandler kHandlers[] = {
    {.command = kE2pReadByte, .rule = InputRule::kAny, .min_input = 0, .handle = E2pReadByte},
    {.command = kE2pWriteByte,
     .rule = InputRule::kAtLeast,
     .min_input = 17,
     .handle = E2pWriteByte},
    {.command = kE2pReadBlock, .rule = InputRule::kAny, .min_input = 0, .handle = E2pReadBlock},
    {.command = kE2pWriteBlock,
     .rule = InputRule::kCountData,
     .min_input = 0,
     .handle = E2pWriteBlock},
    {.command = kE2pCommand, .rule = InputRule::kAny, .min_input = 0, .handle = E2pCommand},
    {.command = kGetDriverVersion,
     .rule = InputRule::kAny,
     .min_input = 0,
     .handle = GetDriverVersion},
    {.command = kReadRegister, .rule = InputRule::kAny, .min_input = 0, .handle = ReadRegister},
    {.command = kWriteRegister,
     .rule = InputRule::kAtLeast,
     .min_input = 20,
     .handle = WriteRegister},
    {.command = kReadPhy, .rule = InputRule::kAny, .min_input = 0, .handle = ReadPhyCommand},
    {.command = kWritePhy, .rule = InputRule::kPhyWrite, .min_input = 0, .handle = WritePhyCommand},
    {.command = kReadTxRxStats, .rule = InputRule::kAny, .min_input = 0, .handle = ReadTxRxStats},
    {.command = kSetLinkMode, .rule = InputRule::kAtLeast, .min_input = 20, .handle = SetLinkMode},
    {.command = kGetAdapterBits, .rule = InputRule::kAny, .min_input = 0, .handle = GetAdapterBits},
    {.command = kGetAdapterLocation,
     .rule = InputRule::kAny,
     .min_input = 0,
     .handle = GetAdapterLocation},
    {.command = kGetAdapterRegistryKey,
     .rule = InputRule::kAny,
     .min_input = 0,
     .handle = GetAdapterRegistryKey},
    {.command = kGetAdapterPdoName,
     .rule = InputRule::kAny,
     .min_input = 0,
     .handle = GetAdapterPdoName},
    {.command = kGetAdapterPort, .rule = InputRule::kAny, .min_input = 0, .handle = GetAdapterPort},
    {.command = kOtpReadBlock, .rule = InputRule::kAny, .min_input = 0, .handle = OtpReadBlock},
    {.command = kOtpWriteBlock,
     .rule = InputRule::kCountData,
     .min_input = 0,
     .handle = OtpWriteBlock},
    {.command = kOtpConfigure, .rule = InputRule::kAny, .min_input = 0, .handle = OtpConfigure},
    {.command = kSetLinkState,
     .rule = InputRule::kAtLeast,
     .min_input = 20,
     .handle = SetLinkState},
    {.command = kReadPciConfig, .rule = InputRule::kAny, .min_input = 0, .handle = ReadPciConfig},
    {.command = kWritePciConfig,
     .rule = InputRule::kAtLeast,
     .min_input = 20,
     .handle = WritePciConfig},
    {.command = kReadPciePhy, .rule = InputRule::kAny, .min_input = 0, .handle = ReadPciePhy},
    {.command = kWritePciePhy,
     .rule = InputRule::kAtLeast,
     .min_input = 18,
     .handle = WritePciePhy},
};

bool InputFits(const CommandHandler& handler, const Request& r) {
  switch (handler.rule) {
    case InputRule::kAny:
      return true;
    case InputRule::kAtLeast:
      return r.in_length >= handler.min_input;
    case InputRule::kCountData:
      return r.in_length == kHeaderSize + r.Count();
    case InputRule::kPhyWrite:
      return r.in_length == kHeaderSize + 2 || r.in_length == kHeaderSize + 4;
  }
  return false;
}

}  // namespace

bool RegisterAddressValid(uint32_t address) {
  return address < kRegisterSpaceEnd && (address & 3) == 0;
}

uint32_t RegisterAfterWrite(uint32_t address, uint32_t old_value, uint32_t written) {
  for (const RegisterMask& mask : kRegisterMasks) {
    if (mask.address == address) return (old_value & ~mask.writable) | (written & mask.writable);
  }
  return written;
}

HandlerResult HandleRequest(AdapterState& state, uint8_t* block, uint32_t in_length,
                            int64_t now_ms) {
  Request request{
      .state = state, .block = block, .in_length = in_length, .now_ms = now_ms, .result = {}};
  const uint32_t command = Load32(block + kFieldCommand);
  const CommandHandler* handler = nullptr;
  for (const CommandHandler& entry : kHandlers) {
    if (entry.command == command) handler = &entry;
  }
  uint32_t status = kStatusInvalid;
  if (handler != nullptr) {
    if (!InputFits(*handler, request)) {
      request.result.error = kErrorInvalidParameter;
      return request.result;
    }
    status = handler->handle(request);
  }
  if (status != kStatusOk) request.result.returned = kHeaderSize;
  request.result.status = status;
  Store32(block + kFieldAdapterStatus, status);
  return request.result;
}

}  // namespace emu
