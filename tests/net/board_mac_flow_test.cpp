// board_mac_flow_test.cpp - the MAC address read from the board: from the OTP image while the OTP
// holds one, else from an EEPROM image, else unknown.
#include "net/board_mac_address.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/request_block.h"
#include "support/emu_bench.h"

namespace {

struct Read {
  bool ok;
  bool known;
  MacAddress mac;
};

class BoardMac : public ::testing::Test {
 protected:
  BoardMac() { bench_.CreateAdapter(); }
  Read ReadBoard() {
    Platform& services = bench_.Services();
    uint32_t error = 0;
    EXPECT_TRUE(services.device.Open(kControlDevicePath, &error));
    Driver driver(services.device, services.console, RequestWords{});
    Read read{};
    read.ok = ReadBoardMacAddress(driver, &read.known, &read.mac);
    bench_.ClosePlatform();
    return read;
  }
  // An image whose byte 0 is |signature| and bytes 1 to 6 the MAC address 00-11-22-33-44-<last>.
  static std::vector<uint8_t> Image(uint8_t signature, uint8_t last) {
    return {signature, 0x00, 0x11, 0x22, 0x33, 0x44, last};
  }

  EmuBench bench_;
};

TEST_F(BoardMac, TheImageTheControllerLoads) {
  const MacAddress eeprom_mac = {0x00, 0x11, 0x22, 0x33, 0x44, 0xEE};
  bench_.SetEeprom(Image(0xA5, 0xEE));
  Read read = ReadBoard();
  EXPECT_TRUE(read.ok && read.known);
  EXPECT_EQ(read.mac, eeprom_mac);

  bench_.SetOtp(Image(0xF3, 0x03));  // the OTP's image wins over the EEPROM's
  read = ReadBoard();
  EXPECT_TRUE(read.ok && read.known);
  EXPECT_EQ(read.mac, (MacAddress{0x00, 0x11, 0x22, 0x33, 0x44, 0x03}));

  // An upper-half image: its byte i at OTP offset 0x100 + i; the lower image's bytes are stale.
  std::vector<uint8_t> otp = Image(0xF7, 0x03);
  otp.resize(0x101);
  for (uint8_t byte : {0x00, 0x11, 0x22, 0x33, 0x44, 0x07}) otp.push_back(byte);
  bench_.SetOtp(otp);
  read = ReadBoard();
  EXPECT_TRUE(read.ok && read.known);
  EXPECT_EQ(read.mac, (MacAddress{0x00, 0x11, 0x22, 0x33, 0x44, 0x07}));

  bench_.SetOtp({0xFF, 0x00, 0x11, 0x22, 0x33, 0x44, 0x0F});  // switched off: the EEPROM again
  read = ReadBoard();
  EXPECT_TRUE(read.ok && read.known);
  EXPECT_EQ(read.mac, eeprom_mac);

  bench_.SetEeprom(Image(0xA4, 0xEE));
  read = ReadBoard();
  EXPECT_TRUE(read.ok);
  EXPECT_FALSE(read.known);
}

TEST_F(BoardMac, AFailedReadIsNoAddress) {
  bench_.SetEeprom(Image(0xA5, 0xEE));
  bench_.FailStatus(kCmdOtpReadBlock, 2);
  Read read = ReadBoard();
  EXPECT_FALSE(read.ok || read.known);
  EXPECT_EQ(bench_.TakeOutput(), "ERROR: OTP_READ_BLOCK failed! status:Adapter Busy\n");

  bench_.FailStatus(kCmdE2pReadBlock, 2);
  read = ReadBoard();
  EXPECT_FALSE(read.ok || read.known);
  EXPECT_EQ(bench_.TakeOutput(), "ERROR: E2P_READ_BLOCK failed!    status:Adapter Busy\n");
}

}  // namespace
