// link_mode_e2e_test.cpp - the built utility's -l on an emulated adapter: the modes a partner
// with every ability comes up in, and the waits kept on the adapter's clock. Link down and failed
// requests are covered in-process (phy/link_mode_*).
#include <gtest/gtest.h>

#include <string>

#include "support/end_to_end.h"

namespace {

const std::string kBanner = BannerText();

class LinkModeRun : public EndToEnd {
 protected:
  void SetUp() override { Tool("create"); }
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

TEST_F(LinkModeRun, WaitsOnTheAdaptersClock) {
  Tool("link --partner 100fd --delay 4000 --reply 1");
  const ProgramRun run = Run("-l 100fd");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, kBanner + "\nLink mode: 100 FD\n");
  // 2000 ms, four polls 500 ms apart, then 2000 ms more for reply byte 1.
  const std::string shown = ToolRun("show").output;
  EXPECT_NE(shown.find("clock          virtual, 6000 ms"), std::string::npos) << shown;
}

}  // namespace
