// info_queries_e2e_test.cpp - the built utility's -G e on an emulated adapter whose counters the
// emulator tool sets: the whole statistics transcript. The other queries, their failures and -k
// are covered in-process (driver/adapter_info_*).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/end_to_end.h"

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

class InfoQueries : public EndToEnd {
 protected:
  void SetUp() override { Tool("create"); }

  // Runs the utility and checks that the run ended with 0; returns what followed the banner.
  std::string Query(const std::string& arguments) {
    const ProgramRun run = Run(arguments);
    EXPECT_EQ(run.exit_code, 0) << arguments;
    EXPECT_EQ(run.output.rfind(banner_, 0), 0u) << run.output;
    return run.output.substr(std::min(run.output.size(), banner_.size()));
  }
};

TEST_F(InfoQueries, StatisticsBlockIsExact) {
  Tool(
      "stats RxCrcErrors=5 RxGoodGreater1518ByteFrames=0xFFFFFFFF 21=0x11111111 TxCrcErrors=0x1F "
      "46=0x22222222 EeeTxLpiTime=0xDEADBEEF");
  EXPECT_EQ(Query("-G e"), kStatisticsBlock);
}

}  // namespace
