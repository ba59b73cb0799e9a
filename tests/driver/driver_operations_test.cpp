// Request blocks as the driver sees them: header words, parameter fields, input lengths,
// answer widths, brackets and failure lines.
#include "driver/driver_operations.h"

#include <gtest/gtest.h>

#include "support/capture_console.h"
#include "support/scripted_device.h"

namespace {

class DriverOperations : public ::testing::Test {
 protected:
  ScriptedDevice device_;
  CaptureConsole console_;
  Driver driver_{device_, console_, RequestWords{}};
};

TEST_F(DriverOperations, HeaderCarriesSignatureAdapterAndCommand) {
  Driver indexed(device_, console_, RequestWords{kSignatureIndexedAdapter, 2});
  uint32_t value = 0;
  ASSERT_TRUE(READ_REGISTER(indexed, 0x40, &value));
  const SentRequest& sent = device_.sent().at(0);
  EXPECT_EQ(sent.code, kIoctlQnt5200MpAccess);
  EXPECT_EQ(sent.Word(0), 0x20001u);
  EXPECT_EQ(sent.Word(4), 8u);
  EXPECT_EQ(sent.Word(8), 2u);
  EXPECT_EQ(sent.Word(12), 0x40u);
  EXPECT_EQ(sent.in_length, 4096u);
}

TEST_F(DriverOperations, AdapterBitsForceTheIndexedSignature) {
  uint32_t bits[3] = {};
  device_.Answer({.data = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0}});
  ASSERT_TRUE(GET_ADAPTER_BITS(driver_, bits));
  EXPECT_EQ(device_.sent().at(0).Word(0), 0x20001u);
  EXPECT_EQ(device_.sent().at(0).Word(8), 0u);
  EXPECT_EQ(bits[2], 3u);
}

TEST_F(DriverOperations, StatusTextsFollowTheRequestGroup) {
  uint32_t value = 0;
  uint8_t byte = 0;
  device_.Answer({.status = 1});
  device_.Answer({.status = 2});
  device_.Answer({.status = 2});
  device_.Answer({.status = 7});
  EXPECT_FALSE(READ_REGISTER(driver_, 0, &value));
  EXPECT_FALSE(READ_REGISTER(driver_, 0, &value));
  EXPECT_FALSE(E2P_READ_BYTE(driver_, 0, &byte));
  EXPECT_FALSE(OTP_CONFIGURE(driver_, kOtpClose));
  EXPECT_EQ(console_.output(),
            "ERROR: READ_REGISTER failed !    status:Access failed\n"
            "ERROR: READ_REGISTER failed !    status:Other Error\n"
            "ERROR: E2P_READ_BYTE failed!    status:Adapter Busy\n"
            "ERROR: OTP_CONFIGURE failed! status:Adapter Busy\n");
}

TEST_F(DriverOperations, FailedControlCallReportsTheSystemError) {
  uint32_t value = 0x1234;
  device_.Answer({.error = 31});
  EXPECT_FALSE(READ_PCICFG(driver_, 4, &value));
  EXPECT_EQ(value, 0x1234u);
  EXPECT_EQ(console_.output(), "ERROR: Error in DeviceIoControl (IOCTL_QNT5200_MP_ACCESS) : 31\n");
}

TEST_F(DriverOperations, InformationRequestsShareOneFailureLine) {
  uint32_t port = 0;
  device_.Answer({.status = 3});
  EXPECT_FALSE(GET_ADAPTER_PORT(driver_, &port));
  EXPECT_EQ(console_.output(), "ERROR: GET_DRIVER_VERSION failed!    status:Adapter Busy\n");
}

TEST_F(DriverOperations, EepromBlockWriteIsBracketedWithItsLengths) {
  uint8_t image[512] = {0xAA};
  ASSERT_TRUE(E2P_WRITE_BLOCK(driver_, 512, image));
  const auto& sent = device_.sent();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0].command(), kCmdE2pCommand);
  EXPECT_EQ(sent[0].in_length, 17u);
  EXPECT_EQ(sent[0].Word(12), kE2pOpenWrite);
  EXPECT_EQ(sent[1].command(), kCmdE2pWriteBlock);
  EXPECT_EQ(sent[1].in_length, 528u);
  EXPECT_EQ(sent[1].Half(12), 0u);
  EXPECT_EQ(sent[1].Half(14), 512u);
  EXPECT_EQ(sent[1].input.at(16), 0xAA);
  EXPECT_EQ(sent[2].Word(12), kE2pCloseWrite);
}

TEST_F(DriverOperations, FailingBlockWriteStillClosesTheBracket) {
  uint8_t image[16] = {};
  device_.Answer({});
  device_.Answer({.status = 1});
  EXPECT_FALSE(E2P_WRITE_BLOCK(driver_, 16, image));
  ASSERT_EQ(device_.sent().size(), 3u);
  EXPECT_EQ(device_.sent()[2].Word(12), kE2pCloseWrite);
}

TEST_F(DriverOperations, FailingClosingCommandFailsTheWrite) {
  device_.Answer({});
  device_.Answer({});
  device_.Answer({.status = 2});
  EXPECT_FALSE(E2P_WRITE_BYTE(driver_, 3, 0x55));
  const auto& sent = device_.sent();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[1].in_length, 17u);
  EXPECT_EQ(sent[1].Half(12), 3u);
  EXPECT_EQ(sent[1].Half(14), 1u);
  EXPECT_EQ(sent[1].input.at(16), 0x55);
}

TEST_F(DriverOperations, FailingOpeningCommandSendsNothingMore) {
  device_.Answer({.error = 5});
  EXPECT_FALSE(E2P_WRITE_BYTE(driver_, 0, 1));
  EXPECT_EQ(device_.sent().size(), 1u);
  device_.Answer({.status = 1});
  EXPECT_FALSE(OTP_WRITE_BLOCK(driver_, 0, 4, reinterpret_cast<const uint8_t*>("abcd")));
  EXPECT_EQ(device_.sent().size(), 2u);
  EXPECT_EQ(device_.sent()[1].Word(12), kOtpOpenWrite);
}

TEST_F(DriverOperations, OtpReadCopiesBeforeTheClosingCommand) {
  device_.Answer({});
  device_.Answer({.data = {0xF3, 0x01}});
  device_.Answer({.data = {0x00, 0x00}});
  uint8_t data[2] = {};
  ASSERT_TRUE(OTP_READ_BLOCK(driver_, 0x100, 2, data));
  EXPECT_EQ(data[0], 0xF3);
  EXPECT_EQ(data[1], 0x01);
  const auto& sent = device_.sent();
  EXPECT_EQ(sent[0].Word(12), kOtpOpenRead);
  EXPECT_EQ(sent[1].Half(12), 0x100u);
  EXPECT_EQ(sent[1].Half(14), 2u);
  EXPECT_EQ(sent[2].Word(12), kOtpClose);
}

// Bits 31, 30 and 29 of the PHY index choose between a 16-bit and a 32-bit write.
TEST_F(DriverOperations, PhyWriteLengthFollowsTheIndexBits) {
  const uint32_t expected_length[8] = {18, 20, 18, 18, 20, 18, 20, 20};
  for (uint32_t bits = 0; bits < 8; ++bits) {
    ASSERT_TRUE(WRITE_PHY(driver_, bits << 29 | 2, 0x12345678));
    const SentRequest& sent = device_.sent().back();
    EXPECT_EQ(sent.in_length, expected_length[bits]) << "bits " << bits;
    EXPECT_EQ(sent.Half(16), 0x5678u);
  }
}

TEST_F(DriverOperations, PhyReadWidthFollowsTheReturnedCount) {
  uint32_t value = 0xAAAA0000;
  device_.Answer({.data = Le32(0x12345678), .returned = 18});
  ASSERT_TRUE(READ_PHY(driver_, 1, &value));
  EXPECT_EQ(value, 0xAAAA5678u);
  device_.Answer({.data = Le32(0x12345678), .returned = 20});
  ASSERT_TRUE(READ_PHY(driver_, 1, &value));
  EXPECT_EQ(value, 0x12345678u);
  device_.Answer({.data = Le32(0x9ABCDEF0), .returned = 12});
  ASSERT_TRUE(READ_PHY(driver_, 1, &value));
  EXPECT_EQ(value, 0x9ABCDEF0u);
}

TEST_F(DriverOperations, PciePhyRequestsLeaveTheCountFieldAsItWas) {
  uint32_t config = 0;
  ASSERT_TRUE(READ_PCICFG(driver_, 0x10, &config));
  ASSERT_TRUE(WRITE_PCIEPHY(driver_, 0x1F, 0xBEEF));
  const SentRequest& sent = device_.sent().back();
  EXPECT_EQ(sent.in_length, 18u);
  EXPECT_EQ(sent.Half(12), 0x1Fu);
  EXPECT_EQ(sent.Half(14), 4u);  // left over from the configuration read
  EXPECT_EQ(sent.Half(16), 0xBEEFu);
}

TEST_F(DriverOperations, LinkRequestsCarryTheirValueInTheData) {
  uint8_t reply = 0;
  device_.Answer({.data = {1}});
  ASSERT_TRUE(SET_LINK_MODE(driver_, 5, &reply));
  EXPECT_EQ(reply, 1);
  ASSERT_TRUE(SET_LINK_STATE(driver_, 1));
  EXPECT_EQ(device_.sent()[0].in_length, 20u);
  EXPECT_EQ(device_.sent()[0].Word(16), 5u);
  EXPECT_EQ(device_.sent()[1].Word(16), 1u);
}

TEST_F(DriverOperations, TextAnswerNeverOverrunsTheDestination) {
  ScriptedAnswer long_text;
  long_text.data.assign(600, 'A');
  long_text.returned = 616;
  device_.Answer(long_text);
  uint8_t text[256 + 8];
  std::memset(text, 0x5A, sizeof text);
  size_t length = 0;
  ASSERT_TRUE(GET_ADAPTER_LOCATION(driver_, text, 256, &length));
  EXPECT_EQ(length, 256u);
  EXPECT_EQ(text[255], 'A');
  EXPECT_EQ(text[256], 0x5A);
}

// The fields and input lengths of the requests that carry no data of their own to check.
TEST_F(DriverOperations, RequestFieldsAndInputLengths) {
  uint8_t byte = 0;
  uint8_t block[8] = {};
  uint32_t version[4] = {};
  uint8_t stats[kTxRxStatsSize] = {};
  uint32_t config = 0;
  uint16_t pcie = 0;
  ASSERT_TRUE(READ_PCICFG(driver_, 0x1234, &config));  // leaves 4 in bytes 14 and 15
  ASSERT_TRUE(E2P_READ_BYTE(driver_, 0x101, &byte));
  ASSERT_TRUE(E2P_READ_BLOCK(driver_, 8, block));
  ASSERT_TRUE(E2P_COMMAND(driver_, 0x20000000));
  ASSERT_TRUE(OTP_CONFIGURE(driver_, kOtpOpenRead));
  ASSERT_TRUE(GET_DRIVER_VERSION(driver_, version));
  ASSERT_TRUE(READ_TXRX_STATS(driver_, stats));
  ASSERT_TRUE(WRITE_PCICFG(driver_, 0x44, 0xCAFEF00D));
  ASSERT_TRUE(READ_PCIEPHY(driver_, 0x9, &pcie));
  const auto& sent = device_.sent();
  ASSERT_EQ(sent.size(), 9u);

  EXPECT_EQ(sent[0].command(), kCmdReadPciConfig);
  EXPECT_EQ(sent[0].Half(12), 0x1234u);
  EXPECT_EQ(sent[0].Half(14), 4u);
  EXPECT_EQ(sent[0].in_length, 4096u);

  EXPECT_EQ(sent[1].command(), kCmdE2pReadByte);
  EXPECT_EQ(sent[1].Half(12), 0x101u);
  EXPECT_EQ(sent[1].Half(14), 4u);  // untouched
  EXPECT_EQ(sent[1].in_length, 4096u);

  EXPECT_EQ(sent[2].command(), kCmdE2pReadBlock);
  EXPECT_EQ(sent[2].Half(12), 0u);
  EXPECT_EQ(sent[2].Half(14), 8u);
  EXPECT_EQ(sent[2].in_length, 4096u);

  EXPECT_EQ(sent[3].command(), kCmdE2pCommand);
  EXPECT_EQ(sent[3].Word(12), 0x20000000u);
  EXPECT_EQ(sent[3].in_length, 17u);

  EXPECT_EQ(sent[4].command(), kCmdOtpConfigure);
  EXPECT_EQ(sent[4].Word(12), kOtpOpenRead);
  EXPECT_EQ(sent[4].in_length, 17u);

  EXPECT_EQ(sent[5].command(), kCmdGetDriverVersion);
  EXPECT_EQ(sent[5].in_length, 4096u);
  EXPECT_EQ(sent[6].command(), kCmdReadTxRxStats);
  EXPECT_EQ(sent[6].in_length, 4096u);

  EXPECT_EQ(sent[7].command(), kCmdWritePciConfig);
  EXPECT_EQ(sent[7].Half(12), 0x44u);
  EXPECT_EQ(sent[7].Half(14), 4u);
  EXPECT_EQ(sent[7].Word(16), 0xCAFEF00Du);
  EXPECT_EQ(sent[7].in_length, 20u);

  EXPECT_EQ(sent[8].command(), kCmdReadPciePhy);
  EXPECT_EQ(sent[8].Half(12), 0x9u);
  EXPECT_EQ(sent[8].in_length, 4096u);
}

TEST_F(DriverOperations, OtpBlockWriteIsBracketedAndCarriesItsOffset) {
  const uint8_t data[3] = {0xF7, 0x01, 0x02};
  ASSERT_TRUE(OTP_WRITE_BLOCK(driver_, 0x100, 3, data));
  const auto& sent = device_.sent();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0].Word(12), kOtpOpenWrite);
  EXPECT_EQ(sent[1].command(), kCmdOtpWriteBlock);
  EXPECT_EQ(sent[1].Half(12), 0x100u);
  EXPECT_EQ(sent[1].Half(14), 3u);
  EXPECT_EQ(sent[1].input.at(16), 0xF7);
  EXPECT_EQ(sent[1].in_length, 19u);
  EXPECT_EQ(sent[2].Word(12), kOtpClose);
}

// An EEPROM whose size is a power of two: offsets wrap around.
class WrappingEeprom : public DeviceIo {
 public:
  explicit WrappingEeprom(size_t size) : bytes_(size, 0x3C) {}
  bool Open(const char*, uint32_t*) override { return true; }
  void Close() override {}
  bool Control(uint32_t, const void*, uint32_t, void* out, uint32_t, uint32_t* returned,
               uint32_t*) override {
    auto* block = static_cast<uint8_t*>(out);
    const size_t offset = (block[12] | block[13] << 8) % bytes_.size();
    if (block[4] == kCmdE2pReadByte) block[16] = bytes_[offset];
    if (block[4] == kCmdE2pWriteByte) bytes_[offset] = block[16];
    block[8] = block[9] = block[10] = block[11] = 0;
    *returned = kRequestBlockSize;
    return true;
  }
  std::vector<uint8_t> bytes_;
};

TEST(EepromSizeProbe, TellsTheSizeAndRestoresTheContents) {
  for (size_t size : {256u, 512u}) {
    WrappingEeprom eeprom(size);
    eeprom.bytes_[0] = 0x12;
    if (size == 512) eeprom.bytes_[256] = 0x34;
    const std::vector<uint8_t> before = eeprom.bytes_;
    CaptureConsole console;
    Driver driver(eeprom, console, RequestWords{});
    int32_t found = 0;
    ASSERT_TRUE(EepromSizeProbe(driver, &found));
    EXPECT_EQ(found, static_cast<int32_t>(size));
    EXPECT_EQ(eeprom.bytes_, before);
    EXPECT_EQ(console.output(), "");
  }
}

TEST_F(DriverOperations, EepromSizeProbeStopsAtTheFirstFailure) {
  device_.Answer({.data = {0x12}});
  device_.Answer({.status = 2});
  int32_t found = 77;
  EXPECT_FALSE(EepromSizeProbe(driver_, &found));
  EXPECT_EQ(found, 77);
  EXPECT_EQ(device_.sent().size(), 2u);
}

}  // namespace
