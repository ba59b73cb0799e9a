// info_queries_e2e_test.cpp - the built utility's -G and -k on an emulated adapter set up with the
// emulator tool: exact transcripts, failures that still end with 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

const std::string kBanner = BannerText();

// The statistics block for the counters the StatisticsBlockIsExact test sets.
const char kStatisticsBlock[] =
    "********* ETHERNET RX & TX STATISTICS *********\n\n"
    "   RxCrcErrors                 = 0x00000005\n"
    "   RxAlignmentErrors           = 0x00000000\n"
    "   RxFragmentErrors            = 0x00000000\n"
    "   RxJabberErrors              = 0x00000000\n"
    "   RxRuntFrameErrors           = 0x00000000\n"
    "   RxFrameTooLongErrors        = 0x00000000\n"
    "   RxDroppedFrames             = 0x00000000\n"
    "   RxGoodUnicastBytes          = 0x00000000\n"
    "   RxGoodBroadcastBytes        = 0x00000000\n"
    "   RxGoodMulticastBytes        = 0x00000000\n"
    "   RxGoodUnicastFrames         = 0x00000000\n"
    "   RxGoodBroadcastFrames       = 0x00000000\n"
    "   RxGoodMulticastFrames       = 0x00000000\n"
    "   RxPauseFrames               = 0x00000000\n"
    "   RxGood64ByteFrames          = 0x00000000\n"
    "   RxGood65To127ByteFrames     = 0x00000000\n"
    "   RxGood128To255ByteFrames    = 0x00000000\n"
    "   RxGood256To511ByteFrames    = 0x00000000\n"
    "   RxGood512To1023ByteFrames   = 0x00000000\n"
    "   RxGood1024To1518ByteFrames  = 0x00000000\n"
    "   RxGoodGreater1518ByteFrames = 0xffffffff\n"
    "   EeeRxLpiTransitions         = 0x00000000\n"
    "   EeeRxLpiTime                = 0x00000000\n"
    "   TxCrcErrors                 = 0x0000001f\n"
    "   TxExcessiveDeferralErrors   = 0x00000000\n"
    "   TxCarrierErrors             = 0x00000000\n"
    "   TxBadBytes                  = 0x00000000\n"
    "   TxSingleCollisions          = 0x00000000\n"
    "   TxMultipleCollisions        = 0x00000000\n"
    "   TxExcessiveCollisionErrors  = 0x00000000\n"
    "   TxLateCollisionErrors       = 0x00000000\n"
    "   TxGoodUnicastBytes          = 0x00000000\n"
    "   TxGoodBroadcastBytes        = 0x00000000\n"
    "   TxGoodMulticastBytes        = 0x00000000\n"
    "   TxGoodUnicastFrames         = 0x00000000\n"
    "   TxGoodBroadcastFrames       = 0x00000000\n"
    "   TxGoodMulticastFrames       = 0x00000000\n"
    "   TxPauseFrames               = 0x00000000\n"
    "   TxGood64ByteFrames          = 0x00000000\n"
    "   TxGood65To127ByteFrames     = 0x00000000\n"
    "   TxGood128To255ByteFrames    = 0x00000000\n"
    "   TxGood256To511ByteFrames    = 0x00000000\n"
    "   TxGood512To1023ByteFrames   = 0x00000000\n"
    "   TxGood1024To1518ByteFrames  = 0x00000000\n"
    "   TxGoodGreater1518ByteFrames = 0x00000000\n"
    "   EeeTxLpiTransitions         = 0x00000000\n"
    "   EeeTxLpiTime                = 0xdeadbeef\n"
    "\n***********************************************\n";

class InfoQueries : public ::testing::Test {
 protected:
  InfoQueries() { Tool("create"); }

  void Tool(const std::string& arguments) {
    const ProgramRun run = RunEmuTool(emu_.path().string(), arguments);
    ASSERT_EQ(run.exit_code, 0) << run.output;
  }
  // Runs the utility and checks that the run ended with 0; returns what followed the banner.
  std::string Run(const std::string& arguments) {
    const ProgramRun run = RunUtility(emu_.path().string(), arguments, work_.path().string());
    EXPECT_EQ(run.exit_code, 0) << arguments;
    const std::string output = MaskBuildLine(run.output);
    EXPECT_EQ(output.rfind(kBanner, 0), 0u) << output;
    return output.substr(std::min(output.size(), kBanner.size()));
  }

  TempDir emu_;
  TempDir work_;
};

TEST_F(InfoQueries, DriverAndAdapterAnswers) {
  Tool(
      "info --driver-version 2.10.300.4 --adapter-bits 0xC0000001,0,0x7f --port 3 "
      "--location 'PCI bus 7, device 0, function 0' --registry-key '{4d36e972}\\0004' "
      "--pdo-name '\\Device\\NTPNP_PCI0012'");
  EXPECT_EQ(Run("-G v"),
            "Driver Major Version 2\nDriver Minor Version 10\nDriver Build Version 300\n"
            "Driver QFE Version 4\n");
  EXPECT_EQ(Run("-G b"),
            "Adapter Bits 00 to 31 C0000001\nAdapter Bits 32 to 63 0\nAdapter Bits 64 to 95 7F\n");
  EXPECT_EQ(Run("-G l"), "Adapter location: PCI bus 7, device 0, function 0\n");
  EXPECT_EQ(Run("-G k"), "Adapter registry key: {4d36e972}\\0004\n");
  EXPECT_EQ(Run("-G o"), "Adapter PDO: \\Device\\NTPNP_PCI0012\n");
  EXPECT_EQ(Run("-G p"), "Adapter port: 3\n");
  EXPECT_EQ(Run("-G u"), "");
}

TEST_F(InfoQueries, StatisticsBlockIsExact) {
  Tool(
      "stats RxCrcErrors=5 RxGoodGreater1518ByteFrames=0xFFFFFFFF 21=0x11111111 TxCrcErrors=0x1F "
      "46=0x22222222 EeeTxLpiTime=0xDEADBEEF");
  EXPECT_EQ(Run("-G e"), kStatisticsBlock);
}

TEST_F(InfoQueries, FailedQueryEndsWithZero) {
  Tool("fault --command 7 --status 2");
  EXPECT_EQ(Run("-G v"), "ERROR: GET_DRIVER_VERSION failed!    status:Adapter Busy\n");
  Tool("fault --command 12 --status 1");
  EXPECT_EQ(Run("-G e"), "ERROR: READ_TXRX_STATS failed !    status:Access failed\n");
}

TEST_F(InfoQueries, AdapterBitsRequestCarriesTheIndexedSignature) {
  Run("-G b");
  const std::string log = RunEmuTool(emu_.path().string(), "log").output;
  EXPECT_NE(log.find("cmd=8 in=4096 sig=0x10002 adapter=0"), std::string::npos) << log;
  EXPECT_NE(log.find("cmd=16 in=4096 sig=0x20001 adapter=0"), std::string::npos) << log;
}

TEST_F(InfoQueries, LinkStateSwitch) {
  EXPECT_EQ(Run("-k d"), "Driver Link State set to DOWN successfully\n");
  EXPECT_EQ(Run("-k u"), "Driver Link State set to UP successfully\n");
  Tool("fault --command SET_LINK_STATE --status 2");
  EXPECT_EQ(Run("-k u"), "ERROR: SET_LINK_STATE failed !    status:Other Error\n");
}

}  // namespace
