// eeprom_program_flow_test.cpp - -w: programming the EEPROM from a binary file or from the INI
// file, with the bracketed block write and the read-back.
#include <algorithm>
#include <filesystem>
#include <iterator>
#include <utility>

#include "nvm/eeprom_flow_support.h"

namespace {

std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 13 + seed);
  return bytes;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteFileText(path, std::string(bytes.begin(), bytes.end()));
}

TEST_F(EepromFlow, BinaryFileOf512BytesIsWrittenInOneBracketedBlockAndVerified) {
  const std::string path = File("image.bin");
  WriteBytes(path, Pattern(512, 1));
  EXPECT_EQ(Run({"-w", "-b", path}), 0);
  EXPECT_EQ(Output(), "The current device EEPROM was programmed with 512 bytes\n");
  EXPECT_EQ(bench_.Eeprom(), Pattern(512, 1));

  const auto log = bench_.Log();
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[1].command, kCmdE2pCommand);
  EXPECT_EQ(log[1].parameter, 0x20000000u);
  EXPECT_EQ(log[1].in_length, 17u);
  EXPECT_EQ(log[2].command, kCmdE2pWriteBlock);
  EXPECT_EQ(log[2].in_length, 528u);
  EXPECT_EQ(log[2].parameter, 512u << 16);
  EXPECT_EQ(log[3].command, kCmdE2pCommand);
  EXPECT_EQ(log[3].parameter, 0x10000000u);
  EXPECT_EQ(log[4].command, kCmdE2pReadBlock);
  EXPECT_EQ(log[4].parameter, 512u << 16);
}

TEST_F(EepromFlow, ShortBinaryFileIsPaddedWithZerosButOnlyItsBytesAreVerified) {
  bench_.SetEeprom(std::vector<uint8_t>(512, 0xEE));
  const std::string path = File("short.bin");
  WriteBytes(path, Pattern(100, 9));
  EXPECT_EQ(Run({"-w", "-b", path}), 0);
  EXPECT_EQ(Output(), "The current device EEPROM was programmed with 100 bytes\n");
  std::vector<uint8_t> expected = Pattern(100, 9);
  expected.resize(512, 0);
  EXPECT_EQ(bench_.Eeprom(), expected);
  EXPECT_EQ(bench_.LogOf(kCmdE2pReadBlock).at(0).parameter, 100u << 16);
}

TEST_F(EepromFlow, EmptyBinaryFileWritesZerosAndReportsNoBytes) {
  bench_.SetEeprom(std::vector<uint8_t>(512, 0xEE));
  const std::string path = File("empty.bin");
  WriteFileText(path, "");
  EXPECT_EQ(Run({"-w", "-b", path}), 0);
  EXPECT_EQ(Output(), "The current device EEPROM was programmed with 0 bytes\n");
  EXPECT_EQ(bench_.Eeprom(), std::vector<uint8_t>(512, 0));
}

TEST_F(EepromFlow, BinaryFileLongerThanTheEepromIsRefusedUntouched) {
  for (size_t size : {513u, 530u, 4000u}) {
    const std::string path = File("long.bin");
    WriteBytes(path, Pattern(size, 2));
    bench_.ClearLog();
    EXPECT_EQ(Run({"-w", "-b", path}), 9) << size;
    EXPECT_EQ(Output(), "ERROR: The size of binary file is greater than eeprom size\n");
    EXPECT_TRUE(bench_.LogOf(kCmdE2pWriteBlock).empty());
  }
}

TEST_F(EepromFlow, MissingOrUnreadableBinaryFileEndsWithCodeNineBeforeAnyWrite) {
  // A directory opens on some systems but cannot be read: it is no image of 0 bytes.
  for (const std::string& path : {File("absent.bin"), work_.path().string()}) {
    bench_.ClearLog();
    EXPECT_EQ(Run({"-w", "-b", path}), 9);
    EXPECT_EQ(Output(), "ERROR: No file " + path + " was found\n");
    EXPECT_TRUE(bench_.LogOf(kCmdE2pCommand).empty());
  }
}

TEST_F(EepromFlow, BinaryFileTakesTheMacAddressAndSerialNumberOfTheIniFile) {
  std::vector<uint8_t> image = ImageOf(ExampleIniText());
  const std::string path = File("image.bin");
  WriteBytes(path, image);
  const std::string ini = File("board.ini");
  WriteFileText(ini, ExampleIniWith("CurrentMacAddress = 00:11:22:33:44:55",
                                    "CurrentMacAddress = 00:11:22:33:BB:EE"));
  std::string text = ReadFileText(ini);
  text.replace(text.find("CurrentSerialNumber = 000000000001"), 34,
               "CurrentSerialNumber = 00000000ABCD");
  WriteFileText(ini, text);

  EXPECT_EQ(Run({"-w", "-b", path, "-i", ini}), 0);
  EXPECT_EQ(Output(), "The current device EEPROM was programmed with 512 bytes\n");
  // The serial number keeps its length, so only its characters change in place.
  const uint8_t mac[] = {0x00, 0x11, 0x22, 0x33, 0xBB, 0xEE};
  std::copy(std::begin(mac), std::end(mac), image.begin() + 1);
  const int first = 2 * (image[0x2A] + 1);
  ASSERT_EQ(image[0x29], 2 * 12 + 2);
  const std::string serial = "00000000ABCD";
  for (size_t j = 0; j < serial.size(); ++j) image[first + 2 * j] = serial[j];
  EXPECT_EQ(bench_.Eeprom(), image);
}

TEST_F(EepromFlow, FileImageWithNoRoomForTheSerialNumberIsRefused) {
  // Manufacturer and product strings fill 158 of the 160 string words and there is no serial
  // descriptor: the INI file's serial number needs 13 more words.
  std::vector<uint8_t> image(512, 0);
  image[0] = 0xA5;
  int word = 96;
  for (const auto& [slot, characters] : {std::pair{0, 126}, std::pair{1, 30}}) {
    image[0x25 + 2 * slot] = static_cast<uint8_t>(2 * characters + 2);
    image[0x26 + 2 * slot] = static_cast<uint8_t>(word);
    image[2 * word] = static_cast<uint8_t>(2 * characters + 2);
    image[2 * word + 1] = 0x03;
    for (int j = 1; j <= characters; ++j) image[2 * (word + j)] = 'A';
    word += characters + 1;
  }
  const std::string path = File("image.bin");
  WriteBytes(path, image);
  const std::string ini = File("board.ini");
  WriteFileText(ini, ExampleIniText());

  EXPECT_EQ(Run({"-w", "-b", path, "-i", ini}), 10);
  EXPECT_EQ(Output(),
            "WARNING: The size of generated binary is greater than EEPROM size(512Bytes)\n"
            "ERROR: Modifying EEPROM image failed.\n");
  EXPECT_TRUE(bench_.LogOf(kCmdE2pWriteBlock).empty());
}

TEST_F(EepromFlow, IniFileProgramsTheBuiltImage) {
  int32_t length = 0;
  const std::vector<uint8_t> expected = ImageOf(ExampleIniText(), &length);
  EXPECT_EQ(Run({"-w", "-i", QNT_SOURCE_DIR "/examples/board.ini"}), 0);
  EXPECT_EQ(Output(),
            "The current device EEPROM was programmed with " + std::to_string(length) + " bytes\n");
  EXPECT_EQ(bench_.Eeprom(), expected);
  EXPECT_EQ(bench_.LogOf(kCmdE2pReadBlock).at(0).parameter, static_cast<uint32_t>(length) << 16);
}

TEST_F(EepromFlow, IncompleteIniFileIsRefusedBeforeTheDevice) {
  const std::string path = File("partial.ini");
  const std::string text = ExampleIniText();
  WriteFileText(path, text.substr(0, text.find("[GPIOPME1]")));
  EXPECT_EQ(Run({"-w", "-i", path}), 9);
  EXPECT_EQ(Output(),
            "ERROR: Missing [GPIOPME1] section in the ini file\n"
            "ERROR: Missing [LEDConfig0] section in the ini file\n"
            "ERROR: Missing [LEDConfig1] section in the ini file\n"
            "ERROR: Missing [LEDConfig2] section in the ini file\n"
            "ERROR: Missing [LEDBehaviorConfig] section in the ini file\n"
            "ERROR: Missing [GPIOConfig] section in the ini file\n"
            "ERROR: Missing [ConfigFlags0] section in the ini file\n"
            "ERROR: Missing [PMEWUFConfiguration] section in the ini file\n"
            "ERROR: Missing [InterruptPollInterval] section in the ini file\n"
            "ERROR: Validated ini file failed\n");
  EXPECT_TRUE(bench_.LogOf(kCmdE2pCommand).empty());
}

TEST_F(EepromFlow, ImageTheBuilderRefusesIsNotProgrammed) {
  const std::string path = File("poll.ini");
  WriteFileText(path, ExampleIniWith("SSPollInterval = 4", "SSPollInterval = 17"));
  EXPECT_EQ(Run({"-w", "-i", path}), 9);
  EXPECT_EQ(Output(),
            "ERROR: Super speed interrupt polling interval cannot exceed 16.\n"
            "ERROR: Generated EEPROM file failed\n");
  EXPECT_TRUE(bench_.LogOf(kCmdE2pCommand).empty());
}

TEST_F(EepromFlow, ReadBackThatDiffersFailsTheVerify) {
  // A 256-byte part: the image's bytes from 256 on wrap around onto its start.
  bench_.RemoveAdapter();
  bench_.CreateAdapter(0, kChipQnt5230, 256);
  EXPECT_EQ(Run({"-w", "-i", QNT_SOURCE_DIR "/examples/board.ini"}), 9);
  EXPECT_EQ(Output(), "Failed to verify eeprom contents\nERROR: Failed to verify device eeprom\n");
}

// Each request failing in its status is covered with stepping on (eeprom_stepping_test.cpp);
// here the control call fails, and the closing command still follows the block write.
TEST_F(EepromFlow, FailedBlockWriteIsStillClosed) {
  const std::string path = File("image.bin");
  WriteBytes(path, Pattern(64, 4));
  bench_.FailCall(kCmdE2pWriteBlock, 31);
  EXPECT_EQ(Run({"-w", "-b", path}), 9);
  EXPECT_EQ(Output(),
            "ERROR: Error in DeviceIoControl (IOCTL_QNT5200_MP_ACCESS) : 31\n"
            "Failed to program device eeprom\n");
  const auto log = bench_.Log();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[3].command, kCmdE2pCommand);
  EXPECT_EQ(log[3].parameter, 0x10000000u);
}

}  // namespace
