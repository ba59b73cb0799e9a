// adapter_info_flow_test.cpp - whole runs of -G and -k against the emulated driver: the lines of
// every selector, the requests sent, failures that end with 6.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver/request_block.h"
#include "support/emu_bench.h"

namespace {

std::string AfterBanner(const std::string& output) {
  size_t position = 0;
  for (int line = 0; line < 5 && position != std::string::npos; ++line) {
    position = output.find('\n', position) + 1;
  }
  return output.substr(position);
}

class AdapterInfoFlow : public ::testing::Test {
 protected:
  AdapterInfoFlow() {
    bench_.CreateAdapter();
    bench_.Update([](emu::AdapterState& s) {
      s.driver_version = {3, 12, 4021, 7};
      s.adapter_bits = {0x8000000F, 0, 0xABC};
      s.location = "PCI bus 5, device 0, function 0";
      s.registry_key = "{4d36e972-e325-11ce-bfc1-08002be10318}\\0003";
      s.pdo_name = "\\Device\\NTPNP_PCI0017";
      s.port = 2;
    });
  }
  // Runs "-G <selector>" (or other arguments) and returns what followed the banner.
  std::string Run(const std::vector<std::string>& arguments, int expected_exit = 0) {
    bench_.ClearLog();
    EXPECT_EQ(bench_.Run(arguments), expected_exit);
    return AfterBanner(bench_.TakeOutput());
  }

  EmuBench bench_;
};

TEST_F(AdapterInfoFlow, EverySelectorPrintsItsLines) {
  EXPECT_EQ(Run({"-G", "v"}),
            "Driver Major Version 3\nDriver Minor Version 12\nDriver Build Version 4021\n"
            "Driver QFE Version 7\n");
  EXPECT_EQ(Run({"-G", "b"}),
            "Adapter Bits 00 to 31 8000000F\nAdapter Bits 32 to 63 0\nAdapter Bits 64 to 95 ABC\n");
  EXPECT_EQ(Run({"-G", "l"}), "Adapter location: PCI bus 5, device 0, function 0\n");
  EXPECT_EQ(Run({"-G", "k"}),
            "Adapter registry key: {4d36e972-e325-11ce-bfc1-08002be10318}\\0003\n");
  EXPECT_EQ(Run({"-G", "o"}), "Adapter PDO: \\Device\\NTPNP_PCI0017\n");
  EXPECT_EQ(Run({"-G", "p"}), "Adapter port: 2\n");
  EXPECT_EQ(Run({"-G", "u"}), "");
}

TEST_F(AdapterInfoFlow, SelectorUSendsNothingAfterTheIdentification) {
  Run({"-G", "u"});
  const auto log = bench_.Log();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].command, kCmdReadRegister);
}

TEST_F(AdapterInfoFlow, OnlyTheFirstLetterOfTheSelectorCounts) {
  EXPECT_EQ(Run({"-G", "pz"}), "Adapter port: 2\n");
}

TEST_F(AdapterInfoFlow, AdapterIndexChoosesWhichAdapterAnswers) {
  bench_.CreateAdapter(1, kChipQnt5231);
  bench_.Update([](emu::AdapterState& s) { s.port = 9; }, 1);
  EXPECT_EQ(Run({"-X", "1", "-G", "p"}), "Adapter port: 9\n");
}

TEST_F(AdapterInfoFlow, StatisticsBlockShowsTheCountersInRecordOrder) {
  bench_.SetStat(0, 0x12);         // RxCrcErrors
  bench_.SetStat(20, 0xFFFFFFFF);  // RxGoodGreater1518ByteFrames
  bench_.SetStat(21, 0x55555555);  // never shown
  bench_.SetStat(22, 0xA);         // EeeRxLpiTransitions
  bench_.SetStat(46, 0x66666666);  // never shown
  bench_.SetStat(48, 0xDEADBEEF);  // EeeTxLpiTime
  const std::string output = Run({"-G", "e"});
  EXPECT_EQ(output.rfind("********* ETHERNET RX & TX STATISTICS *********\n\n"
                         "   RxCrcErrors                 = 0x00000012\n"
                         "   RxAlignmentErrors           = 0x00000000\n",
                         0),
            0u);
  EXPECT_NE(output.find("   RxGoodGreater1518ByteFrames = 0xffffffff\n"
                        "   EeeRxLpiTransitions         = 0x0000000a\n"),
            std::string::npos);
  EXPECT_EQ(output.find("55555555"), std::string::npos);
  EXPECT_EQ(output.find("66666666"), std::string::npos);
  const std::string ending =
      "   EeeTxLpiTime                = 0xdeadbeef\n"
      "\n***********************************************\n";
  ASSERT_GE(output.size(), ending.size());
  EXPECT_EQ(output.substr(output.size() - ending.size()), ending);
  EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 2 + 47 + 2);
}

TEST_F(AdapterInfoFlow, TextLongerThanTheResultAreaIsCut) {
  bench_.Update([](emu::AdapterState& s) { s.location = std::string(1000, 'L'); });
  EXPECT_EQ(Run({"-G", "l"}), "Adapter location: " + std::string(128, 'L') + "\n");
}

TEST_F(AdapterInfoFlow, TextBeyondLatinIsPrintedAsUtf8) {
  bench_.Update([](emu::AdapterState& s) { s.pdo_name = "\\Device\\Gerät-Ω"; });
  EXPECT_EQ(Run({"-G", "o"}), "Adapter PDO: \\Device\\Gerät-Ω\n");
}

TEST_F(AdapterInfoFlow, FailedQueriesPrintTheDriverLineAndEndWithSix) {
  const struct {
    const char* selector;
    uint32_t command;
    const char* line;
  } kCases[] = {
      {"v", kCmdGetDriverVersion, "ERROR: GET_DRIVER_VERSION failed!    status:Adapter Busy\n"},
      {"b", kCmdGetAdapterBits, "ERROR: GET_DRIVER_VERSION failed!    status:Adapter Busy\n"},
      {"l", kCmdGetAdapterLocation, "ERROR: GET_DRIVER_VERSION failed!    status:Access failed\n"},
      {"k", kCmdGetAdapterRegistryKey,
       "ERROR: GET_DRIVER_VERSION failed!    status:Adapter Busy\n"},
      {"o", kCmdGetAdapterPdoName, "ERROR: GET_DRIVER_VERSION failed!    status:Adapter Busy\n"},
      {"p", kCmdGetAdapterPort, "ERROR: GET_DRIVER_VERSION failed!    status:Adapter Busy\n"},
      {"e", kCmdReadTxRxStats, "ERROR: READ_TXRX_STATS failed !    status:Other Error\n"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.selector);
    bench_.FailStatus(c.command, c.command == kCmdGetAdapterLocation ? 1 : 2);
    EXPECT_EQ(Run({"-G", c.selector}, 6), c.line);
  }
  bench_.FailCall(kCmdGetAdapterPort, 1167);
  EXPECT_EQ(Run({"-G", "p"}, 6),
            "ERROR: Error in DeviceIoControl (IOCTL_QNT5200_MP_ACCESS) : 1167\n");
}

TEST_F(AdapterInfoFlow, LinkStateSwitchDownAndUp) {
  EXPECT_EQ(Run({"-k", "d"}), "Driver Link State set to DOWN successfully\n");
  EXPECT_FALSE(bench_.State().link_runtime.admin_up);
  auto requests = bench_.LogOf(kCmdSetLinkState);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].in_length, 20u);

  EXPECT_EQ(Run({"-k", "Up"}), "Driver Link State set to UP successfully\n");
  EXPECT_TRUE(bench_.State().link_runtime.admin_up);
}

TEST_F(AdapterInfoFlow, LinkStateSwitchDownTakesTheLinkDown) {
  bench_.SetPartner("autoneg 100fd");
  bench_.Run({"-l", "100fd"});
  Run({"-k", "D"});
  EXPECT_EQ(Run({"-l", "100fd"}, 4), "\nLink mode: LINK DOWN\n");
}

TEST_F(AdapterInfoFlow, FailedLinkStateSwitchPrintsOnlyTheDriverLine) {
  bench_.FailStatus(kCmdSetLinkState, 2);
  EXPECT_EQ(Run({"-k", "u"}, 6), "ERROR: SET_LINK_STATE failed !    status:Other Error\n");
}

}  // namespace
