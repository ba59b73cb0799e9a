// link_mode_e2e_test.cpp - the built utility's -l on an emulated adapter, with and without a link
// partner and with the link-mode request failing.
#include <gtest/gtest.h>

#include <string>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

const std::string kBanner = BannerText();

class LinkModeRun : public ::testing::Test {
 protected:
  LinkModeRun() { Tool("create"); }

  void Tool(const std::string& arguments) {
    const ProgramRun run = RunEmuTool(emu_.path().string(), arguments);
    ASSERT_EQ(run.exit_code, 0) << run.output;
  }
  ProgramRun Run(const std::string& arguments) {
    ProgramRun run = RunUtility(emu_.path().string(), arguments, work_.path().string());
    run.output = MaskBuildLine(run.output);
    return run;
  }

  TempDir emu_;
  TempDir work_;
};

TEST_F(LinkModeRun, PartnerWithEveryAbility) {
  Tool("link --partner 1000fd,100fd,100hd,10fd,10hd");
  ProgramRun run = Run("-l 100fd");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, kBanner + "\nLink mode: 100 FD\n");

  run = Run("-l 1000fd");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, kBanner + "\nLink mode: 1000 FD\n");

  run = Run("-l 10hd");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, kBanner + "\nLink mode: 10 HD\n");
}

TEST_F(LinkModeRun, NoPartnerIsLinkDown) {
  Tool("link --none");
  const ProgramRun run = Run("-l 100fd");
  EXPECT_EQ(run.exit_code, 4);
  EXPECT_EQ(run.output, kBanner + "\nLink mode: LINK DOWN\n");
}

TEST_F(LinkModeRun, FailedRequestEndsWithFour) {
  Tool("link --partner 100fd");
  Tool("fault --command SET_LINK_MODE --status 2");
  const ProgramRun run = Run("-l 100fd");
  EXPECT_EQ(run.exit_code, 4);
  EXPECT_EQ(run.output, kBanner +
                            "ERROR: SET_LINK_MODE failed !    status:Other Error\n"
                            "ERROR: Set link mode failed\n");
}

TEST_F(LinkModeRun, WaitsOnTheAdaptersClock) {
  Tool("link --partner 100fd --delay 4000 --reply 1");
  const ProgramRun run = Run("-l 100fd");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, kBanner + "\nLink mode: 100 FD\n");
  // 2000 ms, four polls 500 ms apart, then 2000 ms more for reply byte 1.
  const std::string shown = RunEmuTool(emu_.path().string(), "show").output;
  EXPECT_NE(shown.find("clock          virtual, 6000 ms"), std::string::npos) << shown;
}

}  // namespace
