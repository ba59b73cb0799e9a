// driver_operations.cpp - the driver commands: which fields each sets, its input length, and
// which part of the answer it takes.
#include "driver/driver_operations.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr StatusText kBusy = StatusText::kAdapterBusy;
constexpr StatusText kOther = StatusText::kOtherError;

constexpr RequestKind kE2pCommand{kCmdE2pCommand, "E2P_COMMAND failed!    status:%s\n", kBusy};
constexpr RequestKind kE2pReadByte{kCmdE2pReadByte, "E2P_READ_BYTE failed!    status:%s\n", kBusy};
constexpr RequestKind kE2pWriteByte{kCmdE2pWriteByte, "E2P_WRITE_BYTE failed!    status:%s\n",
                                    kBusy};
constexpr RequestKind kE2pReadBlock{kCmdE2pReadBlock, "E2P_READ_BLOCK failed!    status:%s\n",
                                    kBusy};
constexpr RequestKind kE2pWriteBlock{kCmdE2pWriteBlock, "E2P_WRITE_BLOCK failed!    status:%s\n",
                                     kBusy};
constexpr RequestKind kReadRegister{kCmdReadRegister, "READ_REGISTER failed !    status:%s\n",
                                    kOther};
constexpr RequestKind kWriteRegister{kCmdWriteRegister, "WRITE_REGISTER failed !    status:%s\n",
                                     kOther};
constexpr RequestKind kReadPhy{kCmdReadPhy, "READ_PHY failed !    status:%s\n", kOther};
constexpr RequestKind kWritePhy{kCmdWritePhy, "WRITE_PHY failed !    status:%s\n", kOther};
constexpr RequestKind kReadPciConfig{kCmdReadPciConfig, "READ_PCICFG failed !    status:%s\n",
                                     kOther};
constexpr RequestKind kWritePciConfig{kCmdWritePciConfig, "WRITE_PCICFG failed !    status:%s\n",
                                      kOther};
constexpr RequestKind kReadPciePhy{kCmdReadPciePhy, "READ_PCIEPHY failed !    status:%s\n", kOther};
constexpr RequestKind kWritePciePhy{kCmdWritePciePhy, "WRITE_PCIEPHY failed !    status:%s\n",
                                    kOther};
constexpr RequestKind kReadTxRxStats{kCmdReadTxRxStats, "READ_TXRX_STATS failed !    status:%s\n",
                                     kOther};
constexpr RequestKind kSetLinkMode{kCmdSetLinkMode, "SET_LINK_MODE failed !    status:%s\n",
                                   kOther};
constexpr RequestKind kSetLinkState{kCmdSetLinkState, "SET_LINK_STATE failed !    status:%s\n",
                                    kOther};
constexpr RequestKind kOtpConfigure{kCmdOtpConfigure, "OTP_CONFIGURE failed! status:%s\n", kBusy};
constexpr RequestKind kOtpReadBlock{kCmdOtpReadBlock, "OTP_READ_BLOCK failed! status:%s\n", kBusy};
constexpr RequestKind kOtpWriteBlock{kCmdOtpWriteBlock, "OTP_WRITE_BLOCK failed! status:%s\n",
                                     kBusy};

// The driver-version request and the five adapter-information requests share one failure line.
constexpr char kInfoFailure[] = "GET_DRIVER_VERSION failed!    status:%s\n";
constexpr RequestKind kGetDriverVersion{kCmdGetDriverVersion, kInfoFailure, kBusy};
constexpr RequestKind kGetAdapterBits{kCmdGetAdapterBits, kInfoFailure, kBusy};
constexpr RequestKind kGetAdapterLocation{kCmdGetAdapterLocation, kInfoFailure, kBusy};
constexpr RequestKind kGetAdapterRegistryKey{kCmdGetAdapterRegistryKey, kInfoFailure, kBusy};
constexpr RequestKind kGetAdapterPdoName{kCmdGetAdapterPdoName, kInfoFailure, kBusy};
constexpr RequestKind kGetAdapterPort{kCmdGetAdapterPort, kInfoFailure, kBusy};

constexpr uint32_t kFullBlock = kRequestBlockSize;
constexpr uint32_t kByteInput = 17;
constexpr uint32_t kDwordInput = 20;
constexpr uint32_t kWordInput = 18;

// Sends |request| between an opening and a closing bracket command. The closing command follows
// whenever the opening one succeeded, whatever became of the request itself.
template <typename Request>
bool Bracketed(Driver& driver, bool (*bracket)(Driver&, uint32_t), uint32_t open, uint32_t close,
               Request request) {
  if (!bracket(driver, open)) return false;
  const bool done = request();
  const bool closed = bracket(driver, close);
  return done && closed;
}

bool SendE2pWriteByte(Driver& driver, uint16_t offset, uint8_t byte) {
  DriverRequest& block = driver.Begin();
  block.Put16(kOffsetParameter, offset);
  block.Put16(kOffsetCount, 1);
  block.bytes[kOffsetData] = byte;
  return driver.Send(kE2pWriteByte, kByteInput);
}

bool SendE2pWriteBlock(Driver& driver, uint16_t length, const uint8_t* source) {
  DriverRequest& block = driver.Begin();
  const uint16_t count = static_cast<uint16_t>(std::min<uint32_t>(length, kRequestDataSize));
  block.Put16(kOffsetParameter, 0);
  block.Put16(kOffsetCount, count);
  std::memcpy(block.data(), source, count);
  return driver.Send(kE2pWriteBlock, count + kRequestHeaderSize);
}

bool ReadText(Driver& driver, const RequestKind& kind, uint8_t* destination, size_t capacity,
              size_t* length) {
  driver.Begin();
  uint32_t returned = 0;
  if (!driver.SendForData(kind, kFullBlock, 0, &returned)) return false;
  // The count is the driver's word and includes the header; never copy past the block or the
  // caller's buffer.
  const size_t copied =
      std::min<size_t>({returned - kRequestHeaderSize, kRequestDataSize, capacity});
  std::memcpy(destination, driver.block().data(), copied);
  *length = copied;
  return true;
}

// Bits 31, 30 and 29 of a PHY index: which combinations carry four data bytes.
bool PhyWriteIsWide(uint32_t index) {
  switch (index >> 29) {
    case 0b001:
    case 0b100:
    case 0b110:
    case 0b111:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool E2P_COMMAND(Driver& driver, uint32_t value) {
  driver.Begin().Put32(kOffsetParameter, value);
  return driver.Send(kE2pCommand, kByteInput);
}

bool E2P_READ_BYTE(Driver& driver, uint16_t offset, uint8_t* byte) {
  driver.Begin().Put16(kOffsetParameter, offset);
  if (!driver.SendForData(kE2pReadByte, kFullBlock, 1)) return false;
  *byte = driver.block().bytes[kOffsetData];
  return true;
}

bool E2P_WRITE_BYTE(Driver& driver, uint16_t offset, uint8_t byte) {
  return Bracketed(driver, E2P_COMMAND, kE2pOpenWrite, kE2pCloseWrite,
                   [&] { return SendE2pWriteByte(driver, offset, byte); });
}

bool E2P_READ_BLOCK(Driver& driver, uint16_t length, uint8_t* destination) {
  DriverRequest& block = driver.Begin();
  const uint32_t count = std::min<uint32_t>(length, kRequestDataSize);
  block.Put16(kOffsetParameter, 0);
  block.Put16(kOffsetCount, length);
  if (!driver.SendForData(kE2pReadBlock, kFullBlock, count)) return false;
  std::memcpy(destination, block.data(), count);
  return true;
}

bool E2P_WRITE_BLOCK(Driver& driver, uint16_t length, const uint8_t* source,
                     const BeforeDataRequest& before_data) {
  return Bracketed(driver, E2P_COMMAND, kE2pOpenWrite, kE2pCloseWrite, [&] {
    return (!before_data || before_data()) && SendE2pWriteBlock(driver, length, source);
  });
}

bool READ_REGISTER(Driver& driver, uint32_t address, uint32_t* value) {
  driver.Begin().Put32(kOffsetParameter, address);
  if (!driver.SendForData(kReadRegister, kFullBlock, 4)) return false;
  *value = driver.block().Get32(kOffsetData);
  return true;
}

bool WRITE_REGISTER(Driver& driver, uint32_t address, uint32_t value) {
  driver.Begin().Put32(kOffsetParameter, address);
  driver.block().Put32(kOffsetData, value);
  return driver.Send(kWriteRegister, kDwordInput);
}

bool READ_PHY(Driver& driver, uint32_t index, uint32_t* value) {
  driver.Begin().Put32(kOffsetParameter, index);
  uint32_t returned = 0;
  // 18 bytes answer 16 bits, 20 or more 32 bits; anything between or shorter is short.
  if (!driver.SendForData(kReadPhy, kFullBlock, 2, &returned)) return false;
  if (returned == kRequestHeaderSize + 3) {
    driver.console().Error(kReadPhy.failure_format, "Other Error");
    return false;
  }
  if (returned == kRequestHeaderSize + 2) {
    *value = (*value & 0xFFFF0000u) | driver.block().Get16(kOffsetData);
  } else {
    *value = driver.block().Get32(kOffsetData);
  }
  return true;
}

bool WRITE_PHY(Driver& driver, uint32_t index, uint32_t value) {
  driver.Begin().Put32(kOffsetParameter, index);
  driver.block().Put32(kOffsetData, value);
  return driver.Send(kWritePhy, PhyWriteIsWide(index) ? kDwordInput : kWordInput);
}

bool READ_PCICFG(Driver& driver, uint16_t offset, uint32_t* value) {
  driver.Begin().Put16(kOffsetParameter, offset);
  driver.block().Put16(kOffsetCount, 4);
  if (!driver.SendForData(kReadPciConfig, kFullBlock, 4)) return false;
  *value = driver.block().Get32(kOffsetData);
  return true;
}

bool WRITE_PCICFG(Driver& driver, uint16_t offset, uint32_t value) {
  driver.Begin().Put16(kOffsetParameter, offset);
  driver.block().Put16(kOffsetCount, 4);
  driver.block().Put32(kOffsetData, value);
  return driver.Send(kWritePciConfig, kDwordInput);
}

bool READ_PCIEPHY(Driver& driver, uint16_t address, uint16_t* value) {
  driver.Begin().Put16(kOffsetParameter, address);
  if (!driver.SendForData(kReadPciePhy, kFullBlock, 2)) return false;
  *value = driver.block().Get16(kOffsetData);
  return true;
}

bool WRITE_PCIEPHY(Driver& driver, uint16_t address, uint16_t value) {
  driver.Begin().Put16(kOffsetParameter, address);
  driver.block().Put16(kOffsetData, value);
  return driver.Send(kWritePciePhy, kWordInput);
}

bool READ_TXRX_STATS(Driver& driver, uint8_t destination[kTxRxStatsSize]) {
  driver.Begin();
  if (!driver.SendForData(kReadTxRxStats, kFullBlock, kTxRxStatsSize)) return false;
  std::memcpy(destination, driver.block().data(), kTxRxStatsSize);
  return true;
}

bool GET_DRIVER_VERSION(Driver& driver, uint32_t version[4]) {
  driver.Begin();
  if (!driver.SendForData(kGetDriverVersion, kFullBlock, 16)) return false;
  for (int i = 0; i < 4; ++i) version[i] = driver.block().Get32(kOffsetData + 4 * i);
  return true;
}

bool GET_ADAPTER_BITS(Driver& driver, uint32_t bits[3]) {
  driver.Begin();
  if (!driver.SendForDataWithSignature(kGetAdapterBits, kFullBlock, 12, kSignatureIndexedAdapter)) {
    return false;
  }
  for (int i = 0; i < 3; ++i) bits[i] = driver.block().Get32(kOffsetData + 4 * i);
  return true;
}

bool GET_ADAPTER_PORT(Driver& driver, uint32_t* port) {
  driver.Begin();
  if (!driver.SendForData(kGetAdapterPort, kFullBlock, 4)) return false;
  *port = driver.block().Get32(kOffsetData);
  return true;
}

bool GET_ADAPTER_LOCATION(Driver& driver, uint8_t* destination, size_t capacity, size_t* length) {
  return ReadText(driver, kGetAdapterLocation, destination, capacity, length);
}

bool GET_ADAPTER_REGISTRY_KEY(Driver& driver, uint8_t* destination, size_t capacity,
                              size_t* length) {
  return ReadText(driver, kGetAdapterRegistryKey, destination, capacity, length);
}

bool GET_ADAPTER_PDO_NAME(Driver& driver, uint8_t* destination, size_t capacity, size_t* length) {
  return ReadText(driver, kGetAdapterPdoName, destination, capacity, length);
}

bool SET_LINK_MODE(Driver& driver, uint32_t mode, uint8_t* reply) {
  driver.Begin().Put32(kOffsetData, mode);
  if (!driver.SendForData(kSetLinkMode, kDwordInput, 1)) return false;
  *reply = driver.block().bytes[kOffsetData];
  return true;
}

bool SET_LINK_STATE(Driver& driver, uint32_t state) {
  driver.Begin().Put32(kOffsetData, state);
  return driver.Send(kSetLinkState, kDwordInput);
}

bool OTP_CONFIGURE(Driver& driver, uint32_t value) {
  driver.Begin().Put32(kOffsetParameter, value);
  return driver.Send(kOtpConfigure, kByteInput);
}

bool OTP_READ_BLOCK(Driver& driver, uint16_t offset, uint16_t length, uint8_t* destination) {
  return Bracketed(driver, OTP_CONFIGURE, kOtpOpenRead, kOtpClose, [&] {
    DriverRequest& block = driver.Begin();
    const uint32_t count = std::min<uint32_t>(length, kRequestDataSize);
    block.Put16(kOffsetParameter, offset);
    block.Put16(kOffsetCount, length);
    if (!driver.SendForData(kOtpReadBlock, kFullBlock, count)) return false;
    // Copied before the closing command reuses the block.
    std::memcpy(destination, block.data(), count);
    return true;
  });
}

bool OTP_WRITE_BLOCK(Driver& driver, uint16_t offset, uint16_t length, const uint8_t* source,
                     const BeforeDataRequest& before_data) {
  return Bracketed(driver, OTP_CONFIGURE, kOtpOpenWrite, kOtpClose, [&] {
    if (before_data && !before_data()) return false;
    DriverRequest& block = driver.Begin();
    const uint16_t count = static_cast<uint16_t>(std::min<uint32_t>(length, kRequestDataSize));
    block.Put16(kOffsetParameter, offset);
    block.Put16(kOffsetCount, count);
    std::memcpy(block.data(), source, count);
    return driver.Send(kOtpWriteBlock, count + kRequestHeaderSize);
  });
}
