// The built utility as a user runs it: the usage text, command-line errors, a machine without
// the driver, and the request blocks an emulated adapter receives.
#include <gtest/gtest.h>

#include "support/end_to_end.h"

namespace {

const std::string kBanner = BannerText();

class CommandLine : public EndToEnd {
 protected:
  void CreateAdapter(const std::string& arguments = "") { Tool("create " + arguments); }
};

TEST_F(CommandLine, UsageTextIsExact) {
  const ProgramRun run = Run("-h");
  std::string output = run.output;
  // The usage lines name the program as it was started.
  const std::string program = QNT_TOOL_PATH;
  for (size_t at; (at = output.find(program)) != std::string::npos;) {
    output.replace(at, program.size(), "5200WinCmd");
  }
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(output, ReadFileText(std::string(QNT_SOURCE_DIR) + "/tests/e2e/golden/usage.txt"));
}

struct Expected {
  const char* arguments;
  int exit_code;
  const char* output;  // after the banner; null for NoDevice()
};

const Expected kWithoutAdapters[] = {
    {"", 255,
     "ERROR: One of options -w, -r, -l, -L, -p, -G, -k should be declared\n"
     "ERROR: Parameter Error (use -h for help)\n"},
    {"-w", 3,
     "ERROR: file name must be specified (-b binary file) after option -w\n"
     "ERROR: Parameter Error (use -h for help)\n"},
    {"-X 1", 3,
     "ERROR: Invalid parameters:X\nERROR: Please use -h to display usage\n"
     "ERROR: Parameter Error (use -h for help)\n"},
    {"-R 123456789", 3,
     "\a\a\a\a\a\a\a\a  ERROR:  HexStrToDword:  bad #digits =9 (s/b <= 8)\n"
     "ERROR: Parameter Error (use -h for help)\n"},
    {"-R 0", 1, nullptr},  // no adapter: the error, then where the emulator looked
    {"-G v", 1, nullptr},
    {"-X 3 -k u", 1, nullptr},
};

TEST_F(CommandLine, OutputsAndExitCodesWithoutAdapters) {
  for (const Expected& expected : kWithoutAdapters) {
    const ProgramRun run = Run(expected.arguments);
    EXPECT_EQ(run.exit_code, expected.exit_code) << expected.arguments;
    const std::string output = expected.output != nullptr ? expected.output : NoDevice();
    EXPECT_EQ(run.output, kBanner + output) << expected.arguments;
  }
}

TEST_F(CommandLine, DirectAccessesOnAnEmulatedAdapter) {
  CreateAdapter("--chip 0x52300001");
  EXPECT_EQ(Run("-R 0").output, kBanner + "Register 0x0 : 0x52300001\n");
  EXPECT_EQ(Run("-W 14 -v 1234_5678").output, kBanner + "Register 0x14 : 0x12345678\n");
  EXPECT_EQ(Run("-R 0x14").output, kBanner + "Register 0x14 : 0x12345678\n");
  EXPECT_EQ(Run("-J 1F -v 4321").output, kBanner + "PCIe Phy Register 0x1f : 0x4321\n");
  EXPECT_EQ(Run("-j 1F").output, kBanner + "PCIe Phy Register 0x1f : 0x4321\n");
  const ProgramRun pci = Run("-e 0");
  EXPECT_EQ(pci.exit_code, 0);
  EXPECT_EQ(pci.output, kBanner + "PCI Cfg Offset 0x0 : 0x52300e1d\n");
}

TEST_F(CommandLine, RequestLogShowsSignatureAdapterAndLengths) {
  CreateAdapter("--adapter 0");
  CreateAdapter("--adapter 2 --chip QNT5231");
  Tool("log --clear");
  EXPECT_EQ(Run("-Y 2 -v 1234").exit_code, 0);
  EXPECT_EQ(Run("-X 2 -y 20000002").exit_code, 0);
  EXPECT_EQ(Run("-X 2 -G b").exit_code, 0);
  EXPECT_EQ(Run("-G b").exit_code, 0);
  const std::string log = Log();
  const char* expected_lines[] = {
      "cmd=8 in=4096 sig=0x10002 adapter=0 param=0x00000000 data=0x00000000 status=0",
      "cmd=11 in=18 sig=0x10002 adapter=0 param=0x00000002 data=0x00001234 status=0",
      "cmd=10 in=4096 sig=0x10002 adapter=0 param=0x00000002 data=",
      "cmd=8 in=4096 sig=0x20001 adapter=2 param=0x00000000 data=0x00000000 status=0",
      "cmd=10 in=4096 sig=0x20001 adapter=2 param=0x20000002 data=",
      "cmd=16 in=4096 sig=0x20001 adapter=2",
      "cmd=16 in=4096 sig=0x20001 adapter=0",
  };
  size_t from = 0;
  for (const char* line : expected_lines) {
    const size_t at = log.find(line, from);
    ASSERT_NE(at, std::string::npos) << line << "\nin:\n" << log;
    from = at;
  }
}

TEST_F(CommandLine, DriverFailureOfAnAccessEndsWithSixAndNoValue) {
  CreateAdapter();
  Tool("fault --command 8 --skip 1 --status 1");
  const ProgramRun run = Run("-R 4");
  EXPECT_EQ(run.exit_code, 6);
  EXPECT_EQ(run.output, kBanner + "ERROR: READ_REGISTER failed !    status:Access failed\n");
}

// A selected adapter the driver does not have: the specified line on standard output, and on
// standard error which adapters there are; an adapter that is there but fails gets no such hint.
TEST_F(CommandLine, AMissingAdapterIsNamedWithTheAdaptersThereAre) {
  CreateAdapter();
  CreateAdapter("--adapter 1 --chip QNT523F");
  const ProgramRun missing = RunUtilityApart(EmuDir(), "-X 5 -R 0", work_.path().string());
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_EQ(MaskBuildLine(missing.output),
            kBanner + "ERROR: Error in DeviceIoControl (IOCTL_QNT5200_MP_ACCESS) : 2\n");
  EXPECT_EQ(missing.error_output,
            "Adapter 5 does not exist: the driver serves 2 (0, 1); -X selects one.\n");

  Tool("fault --adapter 1 --command 8 --error 31");
  const ProgramRun failing = RunUtilityApart(EmuDir(), "-X 1 -R 0", work_.path().string());
  EXPECT_EQ(failing.exit_code, 1);
  EXPECT_EQ(failing.error_output, "");
}

}  // namespace
