// otp_ini_flow_test.cpp - -O -w -i: images built from the INI file, switching the OTP off, and with
// -s the next board's identity written back before the first write, for good once it went out.
#include "nvm/otp_flow_support.h"

namespace {

// The serial-number descriptor of the example board: its string-table pair points at word 0x8A.
constexpr size_t kSerialDescriptor = 2 * 0x8A;

std::vector<uint8_t> SerialDescriptor(const std::string& serial) {
  std::vector<uint8_t> descriptor = {static_cast<uint8_t>(2 * serial.size() + 2), 0x03};
  for (char c : serial) descriptor.insert(descriptor.end(), {static_cast<uint8_t>(c), 0});
  return descriptor;
}

class OtpIni : public OtpFlow {
 protected:
  void SetUp() override {
    OtpFlow::SetUp();
    WriteFileText(ini_, ExampleIniText());
  }
  int RunStepping(const std::string& input = "y") {
    return RunWith(input, {"-O", "-w", "-i", ini_, "-s"});
  }

  const std::string ini_ = File("board.ini");
};

TEST_F(OtpIni, SwitchingOffTakesAnUpperCaseYOnly) {
  const std::vector<uint8_t> lower = LowerImage(300);
  bench_.SetOtp(lower);
  const std::string text = ExampleIniText() + "[OtpConfig]\nOtpSignature = 0xDEAD\n";
  WriteFileText(ini_, text);
  const std::string warning =
      "ERROR: The first byte of OTP will be written with 0xFF and OTP will be DEAD!!!\n"
      "ERROR: Please confirm (Y/N)\n";
  for (const char* input : {"y", "", "N"}) {
    EXPECT_EQ(RunWith(input, {"-O", "-w", "-i", ini_, "-C", "YES"}), 12) << input;
    EXPECT_EQ(Output(), warning + "Exiting.\n");
  }
  EXPECT_EQ(bench_.Otp(), OtpAfter(lower, {}));

  // Switched off, the run ends: no read-back, no stepping, no link mode.
  EXPECT_EQ(RunWith("Y", {"-O", "-w", "-i", ini_, "-s", "-l", "100fd"}), 0);
  EXPECT_EQ(Output(), warning);
  EXPECT_EQ(bench_.Otp(), OtpAfter(lower, {{0, {0xFF}}}));
  EXPECT_EQ(OtpBlocks(bench_.LogOf(kCmdOtpWriteBlock)), (std::vector<OtpBlock>{{0, 1}}));
  EXPECT_EQ(OtpBlocks(bench_.LogOf(kCmdOtpReadBlock)), (std::vector<OtpBlock>{{0, 512}}));
  EXPECT_TRUE(bench_.LogOf(kCmdSetLinkMode).empty());
  EXPECT_EQ(ReadFileText(ini_), text);
}

// Only a request that carries the identity (the body, after the signature byte) uses it up; the
// run then says whether that write failed or was not verified.
TEST_F(OtpIni, FailureAfterTheBodyWasSentKeepsTheIdentityUsedUp) {
  const std::string text = ReadFileText(ini_);
  std::string stepped = ExampleIniWith("00:11:22:33:44:55", "00:11:22:33:44:56");
  stepped.replace(stepped.find("CurrentSerialNumber = 000000000001"), 34,
                  "CurrentSerialNumber = 000000000002");
  const std::string failed_config = "ERROR: OTP_CONFIGURE failed! status:Access failed\n";
  const std::string failed_read = "ERROR: OTP_READ_BLOCK failed! status:Access failed\n";
  const std::string failed_write = "ERROR: OTP_WRITE_BLOCK failed! status:Access failed\n";
  const std::string check = "ERROR: Failed to read OTP\n";
  const std::string signature = "Failed to program device OTP offset 0 (Signature byte)\n";
  const std::string body = "Failed to program device OTP offset 1, size = 301\n";
  const std::string verify = "ERROR: Failed to verify device OTP\n";
  const std::string verify_signature = "ERROR: VerifyOTP: Failed to read offset 0\n" + verify;
  const std::string verify_body = "ERROR: VerifyOTP: Failed to read OTP\n" + verify;
  const std::string identity = "MAC address 00:11:22:33:44:55 and serial number 000000000001";
  const std::string not_sent =
      "Nothing carrying " + identity + " was sent to the board, so it is not used up\n";
  const std::string write_failed =
      "A write request carrying " + identity +
      " was sent to the board, and the write failed: it may have reached the board, so no other "
      "board is given it; the INI file holds the next values\n";
  const std::string unverified = "The board was written with " + identity +
                                 ", but the write was not verified: no other board is given it; "
                                 "the INI file holds the next values\n";
  struct Case {
    uint32_t command;
    uint32_t skip;
    int exit_code;
    std::string output;
  };
  const Case cases[] = {
      {kCmdReadRegister, 0, 1, "ERROR: READ_REGISTER failed !    status:Access failed\n"},
      {kCmdOtpConfigure, 0, 11, failed_config + check},
      {kCmdOtpReadBlock, 0, 11, failed_read + check},
      {kCmdOtpConfigure, 1, 11, failed_config + check},
      {kCmdOtpConfigure, 2, 12, failed_config + signature + not_sent},
      {kCmdOtpWriteBlock, 0, 12, failed_write + signature + not_sent},
      {kCmdOtpConfigure, 3, 12, failed_config + signature + not_sent},
      {kCmdOtpConfigure, 4, 12, failed_config + body + not_sent},
      {kCmdOtpWriteBlock, 1, 12, failed_write + body + write_failed},
      {kCmdOtpConfigure, 5, 12, failed_config + body + write_failed},
      {kCmdOtpConfigure, 6, 12, failed_config + verify_signature + unverified},
      {kCmdOtpReadBlock, 1, 12, failed_read + verify_signature + unverified},
      {kCmdOtpConfigure, 7, 12, failed_config + verify_signature + unverified},
      {kCmdOtpConfigure, 8, 12, failed_config + verify_body + unverified},
      {kCmdOtpReadBlock, 2, 12, failed_read + verify_body + unverified},
      {kCmdOtpConfigure, 9, 12, failed_config + verify_body + unverified},
  };
  for (const Case& c : cases) {
    bench_.SetOtp({});
    WriteFileText(ini_, text);
    bench_.FailStatus(c.command, 1, c.skip);
    EXPECT_EQ(RunWith("", {"-O", "-w", "-i", ini_, "-s", "-C", "YES"}), c.exit_code)
        << c.command << "/" << c.skip;
    EXPECT_EQ(Output(), c.output) << c.command << "/" << c.skip;
    const bool sent = c.output.find(not_sent) == std::string::npos && c.exit_code == 12;
    EXPECT_EQ(ReadFileText(ini_), sent ? stepped : text) << c.command << "/" << c.skip;
  }
}

TEST_F(OtpIni, TwoBoardsInARowGetConsecutiveIdentities) {
  for (int board = 0; board < 2; ++board) {
    bench_.RemoveAdapter();
    bench_.CreateAdapter(0, kChipQnt5231);
    EXPECT_EQ(RunStepping(), 0);
    EXPECT_EQ(Output(), std::string(kPromptLower) +
                            "The current device OTP was programmed with 302 bytes\n"
                            "Updated ini file\n");
    const std::vector<uint8_t> otp = bench_.Otp();
    EXPECT_EQ(otp[0], 0xF3);
    EXPECT_EQ(
        std::vector<uint8_t>(otp.begin() + 1, otp.begin() + 7),
        (std::vector<uint8_t>{0x00, 0x11, 0x22, 0x33, 0x44, static_cast<uint8_t>(0x55 + board)}));
    const std::string serial = board == 0 ? "000000000001" : "000000000002";
    EXPECT_EQ(
        std::vector<uint8_t>(otp.begin() + kSerialDescriptor, otp.begin() + kSerialDescriptor + 26),
        SerialDescriptor(serial));
  }
  std::string expected = ExampleIniWith("CurrentMacAddress = 00:11:22:33:44:55",
                                        "CurrentMacAddress = 00:11:22:33:44:57");
  expected.replace(expected.find("CurrentSerialNumber = 000000000001"), 34,
                   "CurrentSerialNumber = 000000000003");
  EXPECT_EQ(ReadFileText(ini_), expected);
}

}  // namespace
