// image_output_flow_test.cpp - offline generation refuses to write its image over the INI file it
// is built from, however the two names are spelt.
#include <filesystem>

#include "nvm/eeprom_flow_support.h"

namespace {

TEST_F(EepromFlow, ImageFileThatIsTheIniFileIsRefusedAndNothingIsWritten) {
  const std::string ini = File("board.ini");
  WriteFileText(ini, ExampleIniText());
  std::filesystem::create_symlink(ini, File("link.ini"));
  const std::string previous = std::filesystem::current_path().string();
  std::filesystem::current_path(work_.path());
  for (const std::string& output :
       {ini, std::string("./board.ini"), std::string("board.ini"), File("link.ini")}) {
    EXPECT_EQ(Run({"-i", "board.ini", "-o", output, "-d", "QNT5230"}), 10) << output;
    EXPECT_EQ(Output(), "ERROR: The image file " + output +
                            " is the ini file board.ini; nothing was written\n");
    EXPECT_EQ(ReadFileText(ini), ExampleIniText());
  }
  std::filesystem::current_path(previous);
}

}  // namespace
