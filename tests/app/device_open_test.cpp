// device_open_test.cpp - whole runs on a scripted device: the errors of opening the control
// device, which come from the system, and its closing on every path after it opened.
#include <gtest/gtest.h>

#include "app/main_flow.h"
#include "support/after_banner.h"
#include "support/capture_console.h"
#include "support/scripted_device.h"
#include "support/virtual_clock.h"

namespace {

class ScriptedRun : public ::testing::Test {
 protected:
  int Run(std::vector<std::string> words) {
    words.insert(words.begin(), "5200WinCmd");
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    Platform platform{console_, device_, clock_};
    return RunMain(static_cast<int>(argv.size()), argv.data(), platform);
  }

  ScriptedDevice device_;
  CaptureConsole console_;
  VirtualClock clock_;
};

TEST_F(ScriptedRun, AccessDeniedAsksForAdministratorRights) {
  device_.FailOpen(5);
  EXPECT_EQ(Run({"-R", "0"}), 1);
  EXPECT_EQ(AfterBanner(console_.output()),
            "Open File QNT5200_IOCTL Failed! You don't have enough access right, try to run "
            "this application as Administrator");
  EXPECT_EQ(device_.closed(), 0);
}

TEST_F(ScriptedRun, OtherOpenErrorsShowTheirNumber) {
  device_.FailOpen(1450);
  EXPECT_EQ(Run({"-G", "v"}), 1);
  EXPECT_EQ(AfterBanner(console_.output()), "CreateFile failed!  errNum = 1450\n");
}

TEST_F(ScriptedRun, DeviceIsClosedOnEveryPathAfterOpening) {
  device_.Expect(ExpectedRequest(emu::kReadRegister), {.data = Le32(0x11110000)});
  EXPECT_EQ(Run({"-R", "0"}), 1);
  EXPECT_EQ(device_.closed(), 1);
  device_.Expect(ExpectedRequest(emu::kReadRegister), {.data = Le32(0x52300000)});
  device_.Expect(ExpectedRequest(emu::kReadRegister), {.data = Le32(0x52300000)});
  EXPECT_EQ(Run({"-R", "0"}), 0);
  EXPECT_EQ(device_.closed(), 2);
}

}  // namespace
