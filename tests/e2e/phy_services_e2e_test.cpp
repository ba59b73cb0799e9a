// phy_services_e2e_test.cpp - the built utility's -V and firmware download on an emulated adapter
// prepared with qnt5200-emu cable, checked with qnt5200-emu mcu and dump.
#include <gtest/gtest.h>

#include <string>

#include "support/end_to_end.h"

namespace {

class PhyServicesRun : public EndToEnd {
 protected:
  void SetUp() override { Tool("create"); }
  // The tool's output where the command must succeed.
  std::string ToolOutput(const std::string& arguments) {
    const ProgramRun run = ToolRun(arguments);
    EXPECT_EQ(run.exit_code, 0) << arguments << ": " << run.output;
    return run.output;
  }
};

TEST_F(PhyServicesRun, CableTestOfFourPairs) {
  Tool("cable --pair A --status normal --busy 2");
  Tool("cable --pair B --status open --data 100");
  Tool("cable --pair C --stuck");
  Tool("cable --pair D --status failed --data 0x5a");
  // Pair C never finishes: the test could not do its work on every pair.
  const ProgramRun run = Run("-V");
  EXPECT_EQ(run.exit_code, 6);
  EXPECT_EQ(
      run.output,
      banner_ +
          "WARNING: The following results are only accurate if the far end of the\n\r"
          "         cable connected to the QNT5230 is NOT connected to an active\n\r"
          "         Link partner.\n\r\n\r"
          "Performing Pair Scan Cable Diagnostics tests ...\n\r"
          "Pair A test complete. CblDiagReg = 0x0000. Status = Normal/OK\n\r"
          "Pair B test complete. CblDiagReg = 0x1164. Status = Open     , Distance to Fault "
          "= 62 meters\n\r"
          "Pair C test incomplete due to 100ms Timeout! Last CblDiagReg = 0xa000\n\r"
          "Pair D test complete. CblDiagReg = 0x335a. Status = Failed   , Failures: 0x5A\n\r");
}

TEST_F(PhyServicesRun, ResetLoadAndVerifyOfAFirmwareImage) {
  std::string image;
  for (int i = 0; i < 700; ++i) image += static_cast<char>(i * 13 + 1);
  WriteFileText(File("fw.bin"), image);
  const ProgramRun run = Run("-f fw.bin -m reset");
  EXPECT_EQ(run.exit_code, 0);
  const std::string tail = "Verified 00699 of 00700 (099%)\r\nCOMPLETED!\n";
  ASSERT_GT(run.output.size(), tail.size());
  EXPECT_EQ(run.output.substr(run.output.size() - tail.size()), tail);
  EXPECT_EQ(run.output.find("ERROR"), std::string::npos);
  // Read through a pipe: a line at each of the 100 percentages of each pass, and the last one.
  size_t progress_lines = 0;
  for (size_t at = run.output.find('\r'); at != std::string::npos;
       at = run.output.find('\r', at + 1)) {
    ++progress_lines;
  }
  EXPECT_EQ(progress_lines, 2u * 101);

  EXPECT_EQ(ToolOutput("dump prog").substr(0, image.size()), image);
  EXPECT_EQ(ToolOutput("dump xdata").substr(0x5000, image.size()), image);
  EXPECT_EQ(ToolOutput("mcu"),
            "adapter 0\n"
            "  control        0x00 (released)\n"
            "  address        0x02bc\n"
            "  overlay table  B\n"
            "  mcu            running\n");
}

TEST_F(PhyServicesRun, FirmwareModeWithoutFile) {
  const ProgramRun run = Run("-r -m verify");
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_EQ(run.output, banner_ +
                            "ERROR: Firmware mode needs a firmware file (-f)\n"
                            "ERROR: Parameter Error (use -h for help)\n");
}

}  // namespace
