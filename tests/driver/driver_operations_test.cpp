// Request blocks as the driver sees them: header words, parameter fields, input lengths,
// answer widths, brackets and failure lines.
#include "driver/driver_operations.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/capture_console.h"
#include "support/scripted_device.h"

namespace {

class DriverOperations : public ::testing::Test {
 protected:
  ScriptedDevice device_;
  CaptureConsole console_;
  Driver driver_{device_, console_, RequestWords{}};
};

// Expected requests are built from the emulator's layout of the interface.
using Req = ExpectedRequest;

TEST_F(DriverOperations, HeaderCarriesSignatureAdapterAndCommand) {
  Driver indexed(device_, console_, RequestWords{kSignatureIndexedAdapter, 2});
  device_.Expect(Req(emu::kReadRegister, 2).Parameter(0x40));
  uint32_t value = 0;
  ASSERT_TRUE(READ_REGISTER(indexed, 0x40, &value));
}

TEST_F(DriverOperations, AdapterBitsForceTheIndexedSignature) {
  uint32_t bits[3] = {};
  device_.Expect(Req(emu::kGetAdapterBits).Signature(emu::kSignatureIndexed),
                 {.data = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0}});
  ASSERT_TRUE(GET_ADAPTER_BITS(driver_, bits));
  EXPECT_EQ(bits[2], 3u);
}

TEST_F(DriverOperations, StatusTextsFollowTheRequestGroup) {
  uint32_t value = 0;
  uint8_t byte = 0;
  device_.Expect(Req(emu::kReadRegister), {.status = 1});
  device_.Expect(Req(emu::kReadRegister), {.status = 2});
  device_.Expect(Req(emu::kE2pReadByte), {.status = 2});
  device_.Expect(Req(emu::kOtpConfigure).Parameter(emu::kOtpCloseAccess).Length(17), {.status = 7});
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
  device_.Expect(Req(emu::kReadPciConfig).Position(4, 4), {.error = 31});
  EXPECT_FALSE(READ_PCICFG(driver_, 4, &value));
  EXPECT_EQ(value, 0x1234u);
  EXPECT_EQ(console_.output(), "ERROR: Error in DeviceIoControl (IOCTL_QNT5200_MP_ACCESS) : 31\n");
}

TEST_F(DriverOperations, InformationRequestsShareOneFailureLine) {
  uint32_t port = 0;
  device_.Expect(Req(emu::kGetAdapterPort), {.status = 3});
  EXPECT_FALSE(GET_ADAPTER_PORT(driver_, &port));
  EXPECT_EQ(console_.output(), "ERROR: GET_DRIVER_VERSION failed!    status:Adapter Busy\n");
}

TEST_F(DriverOperations, EepromBlockWriteIsBracketedWithItsLengths) {
  uint8_t image[512] = {0xAA};
  image[511] = 0x5B;
  device_.Expect(Req(emu::kE2pCommand).Parameter(emu::kE2pOpen).Length(17));
  device_.Expect(Req(emu::kE2pWriteBlock).Position(0, 512).Bytes(image, 512).Length(528));
  device_.Expect(Req(emu::kE2pCommand).Parameter(emu::kE2pClose).Length(17));
  ASSERT_TRUE(E2P_WRITE_BLOCK(driver_, 512, image));
}

TEST_F(DriverOperations, FailingBlockWriteStillClosesTheBracket) {
  uint8_t image[16] = {};
  device_.Expect(Req(emu::kE2pCommand).Parameter(emu::kE2pOpen).Length(17));
  device_.Expect(Req(emu::kE2pWriteBlock).Position(0, 16).Length(32), {.status = 1});
  device_.Expect(Req(emu::kE2pCommand).Parameter(emu::kE2pClose).Length(17));
  EXPECT_FALSE(E2P_WRITE_BLOCK(driver_, 16, image));
}

TEST_F(DriverOperations, FailingClosingCommandFailsTheWrite) {
  const uint8_t byte = 0x55;
  device_.Expect(Req(emu::kE2pCommand).Parameter(emu::kE2pOpen).Length(17));
  device_.Expect(Req(emu::kE2pWriteByte).Position(3, 1).Bytes(&byte, 1).Length(17));
  device_.Expect(Req(emu::kE2pCommand).Parameter(emu::kE2pClose).Length(17), {.status = 2});
  EXPECT_FALSE(E2P_WRITE_BYTE(driver_, 3, byte));
}

TEST_F(DriverOperations, FailingOpeningCommandSendsNothingMore) {
  device_.Expect(Req(emu::kE2pCommand).Parameter(emu::kE2pOpen).Length(17), {.error = 5});
  EXPECT_FALSE(E2P_WRITE_BYTE(driver_, 0, 1));
  device_.Expect(Req(emu::kOtpConfigure).Parameter(emu::kOtpOpenForWrite).Length(17),
                 {.status = 1});
  EXPECT_FALSE(OTP_WRITE_BLOCK(driver_, 0, 4, reinterpret_cast<const uint8_t*>("abcd")));
}

TEST_F(DriverOperations, OtpBlockWriteIsBracketedAndCarriesItsOffset) {
  const uint8_t data[3] = {0xF7, 0x01, 0x02};
  device_.Expect(Req(emu::kOtpConfigure).Parameter(emu::kOtpOpenForWrite).Length(17));
  device_.Expect(Req(emu::kOtpWriteBlock).Position(0x100, 3).Bytes(data, 3).Length(19));
  device_.Expect(Req(emu::kOtpConfigure).Parameter(emu::kOtpCloseAccess).Length(17));
  ASSERT_TRUE(OTP_WRITE_BLOCK(driver_, 0x100, 3, data));
}

TEST_F(DriverOperations, OtpReadCopiesBeforeTheClosingCommand) {
  device_.Expect(Req(emu::kOtpConfigure).Parameter(emu::kOtpOpenForRead).Length(17));
  device_.Expect(Req(emu::kOtpReadBlock).Position(0x100, 2), {.data = {0xF3, 0x01}});
  device_.Expect(Req(emu::kOtpConfigure).Parameter(emu::kOtpCloseAccess).Length(17),
                 {.data = {0x00, 0x00}});
  uint8_t data[2] = {};
  ASSERT_TRUE(OTP_READ_BLOCK(driver_, 0x100, 2, data));
  EXPECT_EQ(data[0], 0xF3);
  EXPECT_EQ(data[1], 0x01);
}

// Bits 31, 30 and 29 of the PHY index choose between a 16-bit and a 32-bit write.
TEST_F(DriverOperations, PhyWriteLengthFollowsTheIndexBits) {
  const uint32_t expected_length[8] = {18, 20, 18, 18, 20, 18, 20, 20};
  for (uint32_t bits = 0; bits < 8; ++bits) {
    SCOPED_TRACE(bits);
    device_.Expect(
        Req(emu::kWritePhy).Parameter(bits << 29 | 2).Data16(0x5678).Length(expected_length[bits]));
    ASSERT_TRUE(WRITE_PHY(driver_, bits << 29 | 2, 0x12345678));
  }
}

TEST_F(DriverOperations, PhyReadWidthFollowsTheReturnedCount) {
  uint32_t value = 0xAAAA0000;
  device_.Expect(Req(emu::kReadPhy).Parameter(1), {.data = Le32(0x12345678), .returned = 18});
  ASSERT_TRUE(READ_PHY(driver_, 1, &value));
  EXPECT_EQ(value, 0xAAAA5678u);
  device_.Expect(Req(emu::kReadPhy).Parameter(1), {.data = Le32(0x12345678), .returned = 20});
  ASSERT_TRUE(READ_PHY(driver_, 1, &value));
  EXPECT_EQ(value, 0x12345678u);
}

TEST_F(DriverOperations, PciePhyRequestsLeaveTheCountFieldAsItWas) {
  uint32_t config = 0;
  device_.Expect(Req(emu::kReadPciConfig).Position(0x10, 4));
  // The count field keeps the 4 of the configuration read.
  device_.Expect(Req(emu::kWritePciePhy).Position(0x1F, 4).Data16(0xBEEF).Length(18));
  ASSERT_TRUE(READ_PCICFG(driver_, 0x10, &config));
  ASSERT_TRUE(WRITE_PCIEPHY(driver_, 0x1F, 0xBEEF));
}

TEST_F(DriverOperations, LinkRequestsCarryTheirValueInTheData) {
  uint8_t reply = 0;
  device_.Expect(Req(emu::kSetLinkMode).Data32(5).Length(20), {.data = {1}});
  device_.Expect(Req(emu::kSetLinkState).Data32(1).Length(20));
  ASSERT_TRUE(SET_LINK_MODE(driver_, 5, &reply));
  EXPECT_EQ(reply, 1);
  ASSERT_TRUE(SET_LINK_STATE(driver_, 1));
}

TEST_F(DriverOperations, TextAnswerNeverOverrunsTheDestination) {
  ScriptedAnswer long_text;
  long_text.data.assign(600, 'A');
  long_text.returned = 616;
  device_.Expect(Req(emu::kGetAdapterLocation), long_text);
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
  device_.Expect(Req(emu::kReadPciConfig).Position(0x1234, 4));
  device_.Expect(Req(emu::kE2pReadByte).Position(0x101, 4));  // the count is left as it was
  device_.Expect(Req(emu::kE2pReadBlock).Position(0, 8));
  device_.Expect(Req(emu::kE2pCommand).Parameter(emu::kE2pOpen).Length(17));
  device_.Expect(Req(emu::kOtpConfigure).Parameter(emu::kOtpOpenForRead).Length(17));
  // The header keeps the last parameter: these requests set none of their own.
  device_.Expect(Req(emu::kGetDriverVersion).Parameter(emu::kOtpOpenForRead));
  device_.Expect(Req(emu::kReadTxRxStats).Parameter(emu::kOtpOpenForRead));
  device_.Expect(Req(emu::kWritePciConfig).Position(0x44, 4).Data32(0xCAFEF00D).Length(20));
  device_.Expect(Req(emu::kReadPciePhy).Position(0x9, 4));
  ASSERT_TRUE(READ_PCICFG(driver_, 0x1234, &config));
  ASSERT_TRUE(E2P_READ_BYTE(driver_, 0x101, &byte));
  ASSERT_TRUE(E2P_READ_BLOCK(driver_, 8, block));
  ASSERT_TRUE(E2P_COMMAND(driver_, 0x20000000));
  ASSERT_TRUE(OTP_CONFIGURE(driver_, kOtpOpenRead));
  ASSERT_TRUE(GET_DRIVER_VERSION(driver_, version));
  ASSERT_TRUE(READ_TXRX_STATS(driver_, stats));
  ASSERT_TRUE(WRITE_PCICFG(driver_, 0x44, 0xCAFEF00D));
  ASSERT_TRUE(READ_PCIEPHY(driver_, 0x9, &pcie));
}

TEST_F(DriverOperations, EepromSizeProbeStopsAtTheFirstFailure) {
  device_.Expect(Req(emu::kE2pReadByte), {.data = {0x12}});
  device_.Expect(Req(emu::kE2pCommand).Parameter(emu::kE2pOpen).Length(17), {.status = 2});
  int32_t found = 77;
  EXPECT_FALSE(EepromSizeProbe(driver_, &found));
  EXPECT_EQ(found, 77);
}

}  // namespace

namespace {

// Every read that returns data, each answered one byte short of its data.
TEST_F(DriverOperations, AnswerShorterThanItsDataFailsWithTheStatusText) {
  struct Case {
    std::function<bool(Driver&)> read;
    uint32_t returned;
    bool bracketed;
    const char* line;
  };
  uint8_t bytes[kTxRxStatsSize] = {};
  uint32_t word[4] = {};
  uint16_t half = 0;
  size_t length = 0;
  const Case cases[] = {
      {[&](Driver& d) { return E2P_READ_BYTE(d, 0, bytes); }, 16, false,
       "E2P_READ_BYTE failed!    status:Adapter Busy\n"},
      {[&](Driver& d) { return E2P_READ_BLOCK(d, 8, bytes); }, 23, false,
       "E2P_READ_BLOCK failed!    status:Adapter Busy\n"},
      {[&](Driver& d) { return OTP_READ_BLOCK(d, 0, 8, bytes); }, 23, true,
       "OTP_READ_BLOCK failed! status:Adapter Busy\n"},
      {[&](Driver& d) { return READ_REGISTER(d, 0, word); }, 19, false,
       "READ_REGISTER failed !    status:Other Error\n"},
      {[&](Driver& d) { return READ_PHY(d, 1, word); }, 17, false,
       "READ_PHY failed !    status:Other Error\n"},
      {[&](Driver& d) { return READ_PHY(d, 1, word); }, 19, false,
       "READ_PHY failed !    status:Other Error\n"},
      {[&](Driver& d) { return READ_PCICFG(d, 0, word); }, 19, false,
       "READ_PCICFG failed !    status:Other Error\n"},
      {[&](Driver& d) { return READ_PCIEPHY(d, 0, &half); }, 17, false,
       "READ_PCIEPHY failed !    status:Other Error\n"},
      {[&](Driver& d) { return READ_TXRX_STATS(d, bytes); }, 16 + kTxRxStatsSize - 1, false,
       "READ_TXRX_STATS failed !    status:Other Error\n"},
      {[&](Driver& d) { return GET_DRIVER_VERSION(d, word); }, 31, false,
       "GET_DRIVER_VERSION failed!    status:Adapter Busy\n"},
      {[&](Driver& d) { return GET_ADAPTER_BITS(d, word); }, 27, false,
       "GET_DRIVER_VERSION failed!    status:Adapter Busy\n"},
      {[&](Driver& d) { return GET_ADAPTER_PORT(d, word); }, 19, false,
       "GET_DRIVER_VERSION failed!    status:Adapter Busy\n"},
      {[&](Driver& d) { return GET_ADAPTER_LOCATION(d, bytes, 64, &length); }, 15, false,
       "GET_DRIVER_VERSION failed!    status:Adapter Busy\n"},
      {[&](Driver& d) { return SET_LINK_MODE(d, 1, bytes); }, 16, false,
       "SET_LINK_MODE failed !    status:Other Error\n"},
  };
  for (const Case& c : cases) {
    if (c.bracketed) device_.Expect(Req::Any());
    device_.Expect(Req::Any(),
                   {.data = std::vector<uint8_t>(kTxRxStatsSize, 0xEE), .returned = c.returned});
    if (c.bracketed) device_.Expect(Req::Any());
    console_.TakeOutput();
    EXPECT_FALSE(c.read(driver_)) << c.line;
    EXPECT_EQ(console_.output(), std::string("ERROR: ") + c.line);
  }
}

TEST_F(DriverOperations, ReadTakesNothingLeftInTheBlockByTheRequestBefore) {
  const uint8_t written[4] = {0xA5, 0x11, 0x22, 0x33};
  device_.Expect(Req(emu::kE2pCommand).Parameter(emu::kE2pOpen).Length(17));
  device_.Expect(Req(emu::kE2pWriteBlock).Position(0, 4).Bytes(written, 4).Length(20));
  device_.Expect(Req(emu::kE2pCommand).Parameter(emu::kE2pClose).Length(17));
  ASSERT_TRUE(E2P_WRITE_BLOCK(driver_, 4, written));
  // A driver that answers the read with success and the full count but places no data.
  device_.Expect(Req(emu::kE2pReadBlock).Position(0, 4), {.returned = 20});
  uint8_t read[4] = {1, 1, 1, 1};
  ASSERT_TRUE(E2P_READ_BLOCK(driver_, 4, read));
  EXPECT_EQ(std::vector<uint8_t>(read, read + 4), std::vector<uint8_t>(4, 0));
}

}  // namespace
