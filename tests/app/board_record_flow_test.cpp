// board_record_flow_test.cpp - whole -w runs with -t on emulated boards: they fill the record,
// a MAC address it shows programmed is refused before anything is written, failures are
// recorded without using up their MAC address.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/board_record.h"
#include "nvm/eeprom_flow_support.h"

namespace {

class BoardRecordRun : public EepromFlow {
 protected:
  void SetUp() override {
    EepromFlow::SetUp();
    bench_.CreateAdapter(1, kChipQnt5231);
    bench_.CreateAdapter(2, kChipQnt5231);
    WriteFileText(ini_, ExampleIniText());
  }
  int Program(int adapter) {
    return Run({"-X", std::to_string(adapter), "-w", "-i", ini_, "-s", "-t", record_});
  }
  // The record with each line's time replaced by "T".
  std::string Record() {
    std::string text = ReadFileText(record_);
    for (size_t line = text.find('\n') + 1; line < text.size(); line = text.find('\n', line) + 1) {
      text.replace(line, text.find(',', line) - line, 1, 'T');
    }
    return text;
  }
  std::string Line(int adapter, const std::string& mac, const std::string& serial, int result) {
    int32_t length = 0;
    std::string text = ExampleIniWith("00:11:22:33:44:55", mac);
    text.replace(text.find("CurrentSerialNumber = 000000000001") + 22, 12, serial);
    const std::vector<uint8_t> image = ImageOf(text, &length);
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08X", Crc32(image.data(), static_cast<size_t>(length)));
    return "T," + std::to_string(adapter) + ",qnt5231,eeprom," + mac + "," + serial + "," +
           std::to_string(length) + "," + crc + "," + ini_ + "," + std::to_string(result) + "\n";
  }

  const std::string ini_ = File("board.ini");
  const std::string record_ = File("record.csv");
};

TEST_F(BoardRecordRun, SteppedBoardsFillTheRecordAndAProgrammedMacAddressIsRefused) {
  for (int adapter = 0; adapter < 3; ++adapter) ASSERT_EQ(Program(adapter), 0) << Output();
  const std::string three = std::string(kBoardRecordHeader) +
                            Line(0, "00:11:22:33:44:55", "000000000001", 0) +
                            Line(1, "00:11:22:33:44:56", "000000000002", 0) +
                            Line(2, "00:11:22:33:44:57", "000000000003", 0);
  EXPECT_EQ(Record(), three);

  // The INI file set back to the first board's MAC address: refused before anything is written.
  const std::string rewound =
      ExampleIniWith("CurrentSerialNumber = 000000000001", "CurrentSerialNumber = 000000000004");
  WriteFileText(ini_, rewound);
  const std::vector<uint8_t> eeprom = bench_.Eeprom(1);
  bench_.ClearLog();
  EXPECT_EQ(Program(1), 10);
  EXPECT_EQ(Output(),
            "ERROR: MAC address 00:11:22:33:44:55 was programmed already: line 2 of "
            "the record file " +
                record_ + "\n");
  EXPECT_TRUE(bench_.LogOf(kCmdE2pWriteBlock).empty());
  EXPECT_EQ(bench_.Eeprom(1), eeprom);
  EXPECT_EQ(ReadFileText(ini_), rewound);
  EXPECT_EQ(Record(), three);
}

TEST_F(BoardRecordRun, AFailedWriteIsRecordedAndLeavesItsMacAddressFree) {
  bench_.FailStatus(kCmdE2pWriteBlock, 1);
  EXPECT_EQ(Program(0), 9);
  EXPECT_EQ(Program(0), 0);
  EXPECT_EQ(Record(), std::string(kBoardRecordHeader) +
                          Line(0, "00:11:22:33:44:55", "000000000001", 9) +
                          Line(0, "00:11:22:33:44:55", "000000000001", 0));
}

TEST_F(BoardRecordRun, AnImageFileGivesItsOwnIdentity) {
  int32_t length = 0;
  std::vector<uint8_t> image = ImageOf(ExampleIniText(), &length);
  image.resize(static_cast<size_t>(length));
  const std::string file = File("image.bin");
  WriteFileText(file, std::string(image.begin(), image.end()));
  EXPECT_EQ(Run({"-w", "-b", file, "-t", record_}), 0);
  EXPECT_EQ(Run({"-X", "1", "-w", "-b", file, "-t", record_}), 10);
  std::string line = Line(0, "00:11:22:33:44:55", "000000000001", 0);
  line.replace(line.find(ini_), ini_.size(), file);
  EXPECT_EQ(Record(), kBoardRecordHeader + line);
}

TEST_F(BoardRecordRun, AnOtpWriteIsRecordedAsOtp) {
  EXPECT_EQ(Run({"-O", "-w", "-i", ini_, "-C", "YES", "-t", record_}), 0) << Output();
  std::string line = Line(0, "00:11:22:33:44:55", "000000000001", 0);
  line.replace(line.find("eeprom"), 6, "otp");
  // The OTP image differs from the EEPROM one in its signature byte alone.
  std::vector<uint8_t> image = bench_.Otp();
  image.resize(302);
  char crc[16];
  std::snprintf(crc, sizeof crc, "%08X", Crc32(image.data(), image.size()));
  line.replace(line.find(",302,") + 5, 8, crc);
  EXPECT_EQ(Record(), kBoardRecordHeader + line);
}

TEST_F(BoardRecordRun, CommandLineAndUnwritableRecord) {
  EXPECT_EQ(Run({"-w", "-i", ini_, "-t"}), 3);
  EXPECT_EQ(Output(),
            "ERROR: No record file name is specified after -t\n"
            "ERROR: Parameter Error (use -h for help)\n");
  EXPECT_EQ(Run({"-r", "-t", record_}), 3);
  EXPECT_EQ(Output(),
            "ERROR: Option -t needs option -w\n"
            "ERROR: Parameter Error (use -h for help)\n");

  const std::string ini_text = ReadFileText(ini_);
  EXPECT_EQ(Run({"-w", "-i", ini_, "-t", ini_}), 10);
  EXPECT_EQ(Output(),
            "ERROR: The record file " + ini_ + " is the file the board is programmed from\n");
  EXPECT_EQ(ReadFileText(ini_), ini_text);

  const std::string nowhere = File("missing/record.csv");
  bench_.ClearLog();
  EXPECT_EQ(Run({"-w", "-i", ini_, "-t", nowhere}), 10);
  EXPECT_EQ(Output(), "ERROR: Couldn't write the record file " + nowhere + "\n");
  EXPECT_TRUE(bench_.LogOf(kCmdE2pWriteBlock).empty());
}

}  // namespace
