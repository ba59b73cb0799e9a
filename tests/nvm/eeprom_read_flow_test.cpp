// eeprom_read_flow_test.cpp - -r: the whole EEPROM saved to the named or the default file.
#include <filesystem>

#include "nvm/eeprom_flow_support.h"
#include "support/file_faults.h"

namespace {

std::vector<uint8_t> Pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
  return bytes;
}

TEST_F(EepromFlow, ReadSavesAllFiveHundredTwelveBytesToTheNamedFile) {
  bench_.SetEeprom(Pattern(512));
  const std::string path = File("saved.bin");
  EXPECT_EQ(Run({"-r", "-b", path}), 0);
  EXPECT_EQ(Output(), "Saved Eeprom to the file " + path + " under current folder\n");
  EXPECT_EQ(Bytes(ReadFileText(path)), Pattern(512));
  const auto reads = bench_.LogOf(kCmdE2pReadBlock);
  ASSERT_EQ(reads.size(), 1u);
  EXPECT_EQ(reads[0].parameter, 512u << 16);
}

TEST_F(EepromFlow, ReadWithoutANameSavesUnderTheChipName) {
  struct Case {
    uint32_t chip;
    const char* name;
  };
  const Case cases[] = {{kChipQnt5231, "qnt5231-512.bin"}, {kChipQnt523F, "qnt523F-512.bin"}};
  const std::filesystem::path before = std::filesystem::current_path();
  for (const Case& c : cases) {
    bench_.RemoveAdapter();
    bench_.CreateAdapter(0, c.chip);
    std::filesystem::current_path(work_.path());
    const int exit_code = Run({"-r"});
    std::filesystem::current_path(before);
    EXPECT_EQ(exit_code, 0);
    EXPECT_EQ(Output(),
              std::string("Saved Eeprom to the file ") + c.name + " under current folder\n");
    EXPECT_EQ(ReadFileText(File(c.name)).size(), 512u);
  }
}

// The saved file is the EEPROM: nothing of a longer old file stays behind it.
TEST_F(EepromFlow, ReadOverAnExistingLongerFileReplacesIt) {
  bench_.SetEeprom(Pattern(512));
  const std::string path = File("longer.bin");
  WriteFileText(path, std::string(600, 'z'));
  EXPECT_EQ(Run({"-r", "-b", path}), 0);
  EXPECT_EQ(Bytes(ReadFileText(path)), Pattern(512));
}

TEST_F(EepromFlow, FailedBlockReadEndsWithCodeFiveAndNoFile) {
  bench_.FailStatus(kCmdE2pReadBlock, 2);
  const std::string path = File("saved.bin");
  EXPECT_EQ(Run({"-r", "-b", path}), 5);
  EXPECT_EQ(Output(), "ERROR: E2P_READ_BLOCK failed!    status:Adapter Busy\n");
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(EepromFlow, SaveFileThatCannotBeCreatedEndsWithCodeFive) {
  const std::string path = File("missing-folder/saved.bin");
  EXPECT_EQ(Run({"-r", "-b", path}), 5);
  EXPECT_EQ(Output(), "ERROR: ERROR::Failed to create/open " + path + "\n");
}

// The file then keeps what it held.
TEST_F(EepromFlow, FailingWriteEndsWithCodeFive) {
  const std::string path = File("saved.bin");
  WriteFileText(path, "old");
  {
    const FileSizeLimit limit(400);  // the 512 bytes cannot be written out
    EXPECT_EQ(Run({"-r", "-b", path}), 5);
  }
  EXPECT_EQ(Output(), "ERROR: ERROR::WriteFile Failed\n");
  EXPECT_EQ(ReadFileText(path), "old");
}

}  // namespace
