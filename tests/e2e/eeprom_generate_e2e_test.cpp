// eeprom_generate_e2e_test.cpp - offline generation (-i -o -d): the EEPROM image file written from
// the INI file with no device, and the image it holds is the one -w programs.
#include <gtest/gtest.h>

#include <string>

#include "support/end_to_end.h"

namespace {

constexpr char kExampleIni[] = QNT_SOURCE_DIR "/examples/board.ini";

// No adapters: nothing may be opened.
class EepromGenerate : public EndToEnd {
 protected:
  std::string ExampleWith(const std::string& from, const std::string& to) {
    std::string text = ReadFileText(kExampleIni);
    text.replace(text.find(from), from.size(), to);
    return text;
  }
};

TEST_F(EepromGenerate, WritesTheImageProgrammingWouldWrite) {
  const ProgramRun run = Run(std::string("-i '") + kExampleIni + "' -o image.bin -d QNT5230");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, banner_ + "Binary eeprom file image.bin generated, file size: 302 bytes\n");
  const std::string image = ReadFileText(work_.File("image.bin"));
  ASSERT_EQ(image.size(), 302u);
  EXPECT_EQ(static_cast<uint8_t>(image[0]), 0xA5);

  // The same file programmed into an emulated board.
  TempDir board;
  ASSERT_EQ(RunEmuTool(board.path().string(), "create --chip 0x52300000").exit_code, 0);
  const ProgramRun program =
      RunUtility(board.path().string(), std::string("-w -i '") + kExampleIni + "'", ".");
  ASSERT_EQ(program.exit_code, 0) << program.output;
  const std::string eeprom = RunEmuTool(board.path().string(), "dump eeprom").output;
  ASSERT_EQ(eeprom.size(), 512u);
  EXPECT_EQ(eeprom.substr(0, 302), image);
  EXPECT_EQ(eeprom.substr(302), std::string(210, '\0'));
}

TEST_F(EepromGenerate, EveryModelOfTheFamilyIsAccepted) {
  for (const char* model : {"QNT5231", "QNT523F", "QNT5230-rev2"}) {
    const ProgramRun run = Run(std::string("-i '") + kExampleIni + "' -o image.bin -d " + model);
    EXPECT_EQ(run.exit_code, 0) << model << run.output;
  }
}

TEST_F(EepromGenerate, ImageFileIsTruncatedFirst) {
  WriteFileText(work_.File("image.bin"), std::string(1000, 'x'));
  ASSERT_EQ(Run(std::string("-i '") + kExampleIni + "' -o image.bin -d QNT5230").exit_code, 0);
  EXPECT_EQ(ReadFileText(work_.File("image.bin")).size(), 302u);
}

TEST_F(EepromGenerate, FailuresEndWithTheirMessageAndCode) {
  struct Case {
    const char* what;
    std::string ini_text;
    std::string output_path;
    int exit_code;
    std::string output;
  };
  const std::string example = ReadFileText(kExampleIni);
  const Case cases[] = {
      {"incomplete", example.substr(0, example.find("[ConfigFlags0]")), "image.bin", 9,
       "ERROR: Missing [ConfigFlags0] section in the ini file\n"
       "ERROR: Validated ini file failed\n"
       "case.ini: the file has no [ConfigFlags0] section\n"},
      {"refused by the builder", ExampleWith("SSMaxPower = 896", "SSMaxPower = 904"), "image.bin",
       9, "ERROR: SSMaxPower exceed 896mA\nERROR: Generating EEPROM image failed\n"},
      {"strings too long",
       ExampleWith("ProductString = Gigabit Ethernet Adapter",
                   "ProductString = " + std::string(127, 'P')),
       "image.bin", 9,
       "ERROR: ProductString has 127 characters; a string descriptor holds at most 126\n"
       "ERROR: Generating EEPROM image failed\n"},
      {"no folder", example, "missing/image.bin", 10,
       "ERROR: Couldn't create file missing/image.bin\n"},
  };
  for (const Case& c : cases) {
    WriteFileText(work_.File("case.ini"), c.ini_text);
    const ProgramRun run = Run("-i case.ini -o " + c.output_path + " -d QNT5231");
    EXPECT_EQ(run.exit_code, c.exit_code) << c.what;
    EXPECT_EQ(run.output, banner_ + c.output) << c.what;
  }
}

TEST_F(EepromGenerate, WithoutAChipModelNothingIsWritten) {
  const ProgramRun run = Run(std::string("-i '") + kExampleIni + "' -o image.bin");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.output,
            banner_ + "ERROR: Please specify QNT5230, QNT5231 or QNT523F with -d option\n");
  EXPECT_EQ(ReadFileText(work_.File("image.bin")), "");
}

}  // namespace
