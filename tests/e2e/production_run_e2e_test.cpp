// production_run_e2e_test.cpp - a production line: one INI file programs board after board with -s,
// each board getting the next MAC address and serial number, and the file changing in those two
// values only. An identity sent to a board that then failed stays with that board.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "support/end_to_end.h"

namespace {

constexpr char kExampleIni[] = QNT_SOURCE_DIR "/examples/board.ini";

// The serial-number descriptor of the example board: its string table pair points at word 0x8A.
constexpr size_t kSerialDescriptor = 2 * 0x8A;

// CRC-32 of IEEE 802.3, bit by bit, as the standard defines it, spelt as the run's last line does.
std::string Crc32Text(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFF;
  for (const char byte : bytes) {
    crc ^= static_cast<uint8_t>(byte);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", ~crc);
  return text;
}

std::string SerialDescriptor(const std::string& serial) {
  std::string descriptor = {static_cast<char>(2 * serial.size() + 2), 0x03};
  for (char c : serial) descriptor += std::string{c, '\0'};
  return descriptor;
}

std::string IniWith(const std::string& mac, const std::string& serial) {
  std::string text = ReadFileText(kExampleIni);
  text.replace(text.find("00:11:22:33:44:55"), 17, mac);
  text.replace(text.find("000000000001"), 12, serial);
  return text;
}

class ProductionRun : public EndToEnd {
 protected:
  void SetUp() override { WriteFileText(ini_, ReadFileText(kExampleIni)); }

  // A fresh board in its own emulator directory.
  std::string NewBoard(TempDir& board) {
    const ProgramRun created = RunEmuTool(board.path().string(), "create --chip 0x52310002");
    EXPECT_EQ(created.exit_code, 0) << created.output;
    return board.path().string();
  }
  ProgramRun Program(const std::string& board) { return RunOn(board, "-w -i board.ini -s"); }

  const std::string ini_ = File("board.ini");
};

TEST_F(ProductionRun, ThreeBoardsGetConsecutiveIdentities) {
  const char* macs[] = {"00:11:22:33:44:55", "00:11:22:33:44:56", "00:11:22:33:44:57",
                        "00:11:22:33:44:58"};
  const char* serials[] = {"000000000001", "000000000002", "000000000003", "000000000004"};
  for (int board_number = 0; board_number < 3; ++board_number) {
    TempDir board;
    const std::string dir = NewBoard(board);
    const ProgramRun run = Program(dir);
    ASSERT_EQ(run.exit_code, 0) << run.output;
    const std::string eeprom = RunEmuTool(dir, "dump eeprom").output;
    ASSERT_EQ(eeprom.size(), 512u);
    EXPECT_EQ(run.output,
              banner_ +
                  "The current device EEPROM was programmed with 302 bytes\nUpdated ini "
                  "file\nProgrammed: adapter 0 (qnt5231) EEPROM, MAC address " +
                  macs[board_number] + ", serial number " + serials[board_number] +
                  ", 302 bytes, CRC-32 " + Crc32Text(eeprom.substr(0, 302)) + "\n");

    const uint8_t last_octet = static_cast<uint8_t>(0x55 + board_number);
    EXPECT_EQ(eeprom.substr(1, 6),
              std::string("\x00\x11\x22\x33\x44", 5) + static_cast<char>(last_octet));
    EXPECT_EQ(eeprom.substr(kSerialDescriptor, 26), SerialDescriptor(serials[board_number]));
    EXPECT_EQ(ReadFileText(ini_), IniWith(macs[board_number + 1], serials[board_number + 1]));
  }
}

TEST_F(ProductionRun, IdentityWrittenToAFailedBoardIsNeverGivenToAnother) {
  // The flow tests fail every request in turn; here the tool injects one after the write began.
  struct Fault {
    const char* arguments;
    std::string output;
    const char* next_mac;
    const char* next_serial;
  };
  const std::string kept = "no other board is given it; the INI file holds the next values\n";
  const Fault faults[] = {
      {"--command 3 --status 1",
       "ERROR: E2P_READ_BLOCK failed!    status:Access failed\nFailed to read eeprom\n"
       "ERROR: Failed to verify device eeprom\nThe board was written with MAC address "
       "00:11:22:33:44:55 and serial number 000000000001, but the write was not verified: " +
           kept,
       "00:11:22:33:44:56", "000000000002"},
      {"--command 4 --error 1167",
       "ERROR: Error in DeviceIoControl (IOCTL_QNT5200_MP_ACCESS) : 1167\n"
       "Failed to program device eeprom\nA write request carrying MAC address "
       "00:11:22:33:44:56 and serial number 000000000002 was sent to the board, and the write "
       "failed: it may have reached the board, so " +
           kept,
       "00:11:22:33:44:57", "000000000003"},
  };
  TempDir board;
  const std::string dir = NewBoard(board);
  for (const Fault& fault : faults) {
    ASSERT_EQ(RunEmuTool(dir, std::string("fault ") + fault.arguments).exit_code, 0);
    const ProgramRun run = Program(dir);
    EXPECT_EQ(run.exit_code, 9) << fault.arguments;
    EXPECT_EQ(run.output, banner_ + fault.output) << fault.arguments;
    EXPECT_EQ(ReadFileText(ini_), IniWith(fault.next_mac, fault.next_serial)) << fault.arguments;
  }
  // Without a record nothing tells the repaired board apart: it takes the next identity.
  const ProgramRun run = Program(dir);
  EXPECT_EQ(run.exit_code, 0) << run.output;
  EXPECT_EQ(RunEmuTool(dir, "dump eeprom").output.substr(1, 6),
            std::string("\x00\x11\x22\x33\x44\x57", 6));
  EXPECT_EQ(ReadFileText(ini_), IniWith("00:11:22:33:44:58", "000000000004"));
}

TEST_F(ProductionRun, LastAllowedBoardStopsTheLine) {
  std::string text = ReadFileText(kExampleIni);
  text.replace(text.find("MaximumSerialNumber = 0000FFFFFFFF"), 34,
               "MaximumSerialNumber = 000000000002");
  WriteFileText(ini_, text);
  TempDir first;
  ASSERT_EQ(Program(NewBoard(first)).exit_code, 0);
  TempDir second;
  const std::string second_dir = NewBoard(second);
  ProgramRun run = Program(second_dir);
  EXPECT_EQ(run.exit_code, 10);
  const std::string written = RunEmuTool(second_dir, "dump eeprom").output.substr(0, 302);
  EXPECT_EQ(run.output, banner_ +
                            "The current device EEPROM was programmed with 302 bytes\n"
                            "Reach maximum serial number\n"
                            "ERROR: Couldn't increase any Mac or serial number.\n"
                            "This board was programmed with MAC address 00:11:22:33:44:56 and "
                            "serial number 000000000002, the last of the range in board.ini; the "
                            "next run is refused until the file is given a new range\n"
                            "Programmed: adapter 0 (qnt5231) EEPROM, MAC address "
                            "00:11:22:33:44:56, serial number 000000000002, 302 bytes, CRC-32 " +
                            Crc32Text(written) + "\n");
  const std::string after_last = ReadFileText(ini_);
  TempDir third;
  const std::string dir = NewBoard(third);
  run = Program(dir);
  EXPECT_EQ(run.exit_code, 10);
  EXPECT_EQ(run.output, banner_ +
                            "ERROR: The serial number range of board.ini is used up "
                            "(CurrentSerialNumber 000000000003 is above MaximumSerialNumber "
                            "000000000002): give it a new range; nothing was programmed\n");
  EXPECT_EQ(ReadFileText(ini_), after_last);
  EXPECT_EQ(RunEmuTool(dir, "dump eeprom").output, std::string(512, '\xFF'));
}

}  // namespace
