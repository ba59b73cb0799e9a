// network_test.cpp - the built utility's -p and -L on an emulated adapter and network set up
// with the emulator tool: whole transcripts and exit codes.
#include <gtest/gtest.h>

#include <string>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

const std::string kBanner = BannerText();

class NetworkRun : public ::testing::Test {
 protected:
  NetworkRun() {
    Tool("create");
    Tool("net --address 192.168.7.22 --interface 5");
  }
  void Tool(const std::string& arguments) {
    const ProgramRun run = RunEmuTool(emu_.path().string(), arguments);
    ASSERT_EQ(run.exit_code, 0) << arguments << "\n" << run.output;
  }
  ProgramRun Run(const std::string& arguments) {
    ProgramRun run = RunUtility(emu_.path().string(), arguments, work_.path().string());
    run.output = MaskBuildLine(run.output);
    return run;
  }

  TempDir emu_;
  TempDir work_;
};

TEST_F(NetworkRun, PingAfterSettingTheLinkMode) {
  Tool("link --partner 1000fd,100fd --delay 1000");
  Tool("peer 192.168.7.1 --foreign 1");
  ProgramRun run = Run("-l 100fd -p 192.168.7.1");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, kBanner +
                            "\nLink mode: 100 FD\n"
                            "Pinged 192.168.7.1 successfully.\n"
                            "Pinged 192.168.7.1 successfully.\n"
                            "Pinged 192.168.7.1 successfully.\n");

  run = Run("-p 192.168.7.2");
  EXPECT_EQ(run.exit_code, 7);
  EXPECT_EQ(run.output, kBanner +
                            "ERROR: There was no reply to pings \n"
                            "ERROR: There was no reply to pings \n"
                            "ERROR: There was no reply to pings \n");
}

TEST_F(NetworkRun, LoopbackLeavesNoArpEntry) {
  Tool("plug 1000 --noise 3");
  const ProgramRun run = Run("-L");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, kBanner +
                            "ERROR: Loopback Test Failed\n"
                            "Loopback Test Passed\n"
                            "Loopback Test Passed\n");
  EXPECT_EQ(RunEmuTool(emu_.path().string(), "arp").output, "");
}

}  // namespace
