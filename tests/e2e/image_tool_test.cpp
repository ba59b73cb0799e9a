// image_tool_test.cpp - qnt5200-image run as a program: two boards of one production run differ
// in their MAC address and serial number only, the INI it writes back builds the image again,
// and its exit codes and usage.
#include <gtest/gtest.h>

#include <string>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

constexpr char kExampleIni[] = QNT_SOURCE_DIR "/examples/board.ini";

class ImageTool : public ::testing::Test {
 protected:
  ProgramRun Utility(const std::string& arguments) {
    return RunUtility(board_.path().string(), arguments, work_.path().string());
  }
  ProgramRun Tool(const std::string& arguments) {
    return RunImageTool(arguments, work_.path().string());
  }

  TempDir board_;
  TempDir work_;
};

TEST_F(ImageTool, TwoBoardsOfOneRunDifferInMacAddressAndSerialNumberOnly) {
  ASSERT_EQ(RunEmuTool(board_.path().string(), "create --chip 0x52300000").exit_code, 0);
  WriteFileText(work_.File("board.ini"), ReadFileText(kExampleIni));
  ASSERT_EQ(Utility("-w -i board.ini -s").exit_code, 0);
  ASSERT_EQ(Utility("-r -b first.bin").exit_code, 0);
  ASSERT_EQ(Utility("-w -i board.ini -s").exit_code, 0);
  ASSERT_EQ(Utility("-r -b second.bin").exit_code, 0);

  const ProgramRun diff = Tool("diff first.bin second.bin");
  EXPECT_EQ(diff.output,
            "CurrentMacAddress: 00:11:22:33:44:55 | 00:11:22:33:44:56\n"
            "CurrentSerialNumber: \"000000000001\" | \"000000000002\"\n"
            "2 fields differ.\n");
  EXPECT_EQ(diff.exit_code, 1);
  const ProgramRun same = Tool("diff first.bin first.bin");
  EXPECT_EQ(same.output, "No difference.\n");
  EXPECT_EQ(same.exit_code, 0);

  // A saved board against the image its (stepped) INI file now builds.
  ASSERT_EQ(Utility("-i board.ini -o next.bin -d QNT5230").exit_code, 0);
  const ProgramRun against_ini = Tool("diff second.bin next.bin");
  EXPECT_EQ(against_ini.exit_code, 1);
  EXPECT_NE(against_ini.output.find("CurrentMacAddress: 00:11:22:33:44:56 | 00:11:22:33:44:57\n"),
            std::string::npos)
      << against_ini.output;
}

TEST_F(ImageTool, IniOfAGeneratedImageBuildsItAgain) {
  ASSERT_EQ(Utility(std::string("-i '") + kExampleIni + "' -o image.bin -d QNT5230").exit_code, 0);
  const ProgramRun show = Tool("show image.bin");
  EXPECT_EQ(show.exit_code, 0);
  EXPECT_EQ(
      show.output.rfind("image.bin: 302 bytes, EEPROM image\nSignature: 0xA5 (EEPROM image)\n", 0),
      0u);
  EXPECT_NE(show.output.find("\nProductString: \"Gigabit Ethernet Adapter\"\n"), std::string::npos);
  EXPECT_NE(show.output.find("\nImageLength: 302\nNo inconsistencies.\n"), std::string::npos);

  const ProgramRun ini = Tool("ini image.bin");
  ASSERT_EQ(ini.exit_code, 0) << ini.output;
  WriteFileText(work_.File("back.ini"), ini.output);
  ASSERT_EQ(Utility("-i back.ini -o back.bin -d QNT5230").exit_code, 0);
  EXPECT_EQ(ReadFileText(work_.File("back.bin")), ReadFileText(work_.File("image.bin")));
}

// Offline OTP generation in both file forms: the INI written back from each file builds it again.
TEST_F(ImageTool, IniOfEitherOtpFormBuildsItAgain) {
  std::string upper = ReadFileText(kExampleIni);
  upper.replace(upper.find("ProductEnable = 1"), 17, "ProductEnable = 0");  // fits 256 bytes
  WriteFileText(work_.File("upper.ini"), upper + "[OtpConfig]\nOtpSignature = 0xF7\n");
  WriteFileText(work_.File("lower.ini"), ReadFileText(kExampleIni));
  for (const std::string form : {"lower", "upper"}) {
    ASSERT_EQ(Utility("-O -i " + form + ".ini -o " + form + ".bin -d QNT5230").exit_code, 0);
    const ProgramRun ini = Tool("ini " + form + ".bin");
    ASSERT_EQ(ini.exit_code, 0) << ini.output;
    WriteFileText(work_.File("back.ini"), ini.output);
    ASSERT_EQ(Utility("-O -i back.ini -o back.bin -d QNT5230").exit_code, 0);
    EXPECT_EQ(ReadFileText(work_.File("back.bin")), ReadFileText(work_.File(form + ".bin")))
        << form;
  }
  EXPECT_EQ(ReadFileText(work_.File("upper.bin")).size(), 252u + 256u);
}

TEST_F(ImageTool, ExitCodesAndUsage) {
  const ProgramRun help = Tool("--help");
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_EQ(help.output.rfind("Usage: qnt5200-image show FILE", 0), 0u) << help.output;
  EXPECT_EQ(Tool("").exit_code, 2);
  EXPECT_EQ(Tool("show").exit_code, 2);
  EXPECT_EQ(Tool("diff one.bin").exit_code, 2);
  // A file that cannot be read is named with the system's reason.
  EXPECT_EQ(Tool("show missing.bin").output,
            "qnt5200-image: cannot open missing.bin: No such file or directory\n");
  // A device is no image file: it is refused, not read without end.
  const ProgramRun device = Tool("show /dev/zero");
  EXPECT_EQ(device.exit_code, 2);
  EXPECT_EQ(device.output, "qnt5200-image: cannot open /dev/zero: not a regular file\n");

  WriteFileText(work_.File("empty.bin"), "");
  const ProgramRun empty = Tool("ini empty.bin");
  EXPECT_EQ(empty.output, "qnt5200-image: empty.bin is empty, no image\n");
  EXPECT_EQ(empty.exit_code, 2);
  WriteFileText(work_.File("text.bin"), "[MacAddress]\n");
  EXPECT_EQ(Tool("diff text.bin text.bin").exit_code, 2);
  // A text file is refused before any field is printed, the refusal alone on its line.
  const ProgramRun text = Tool("show text.bin");
  EXPECT_EQ(text.output, "qnt5200-image: text.bin is no image: signature 0x5B\n");
  EXPECT_EQ(text.exit_code, 2);
  // --raw decodes it all the same, the unknown signature among the inconsistencies.
  const ProgramRun raw = Tool("show --raw text.bin");
  EXPECT_EQ(raw.exit_code, 1);
  EXPECT_EQ(raw.output.rfind("text.bin: 13 bytes, no image\nSignature: 0x5B (no known form)\n", 0),
            0u)
      << raw.output;
  EXPECT_NE(raw.output.find("  signature 0x5B is no image form's"), std::string::npos);

  // An image cut inside its head: shown as far as it goes, with exit code 1.
  WriteFileText(work_.File("cut.bin"), std::string("\xA5\x00\x11", 3));
  const ProgramRun cut = Tool("show cut.bin");
  EXPECT_EQ(cut.exit_code, 1);
  EXPECT_NE(cut.output.find("\nGPIOWake: beyond the end of the image\n"), std::string::npos);
  EXPECT_NE(cut.output.find("inconsistencies:\n  the head ends after 3 of its 192 bytes\n"),
            std::string::npos);
}

}  // namespace
