// Whole runs in-process against the emulated controller: the banner, the device and the chip,
// the direct accesses with their request blocks, and the exit codes.
#include "app/main_flow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/request_block.h"
#include "support/after_banner.h"
#include "support/emu_bench.h"

namespace {

constexpr char kBannerStart[] = "\n 5200 Windows Command Line Utility v1.4.0.0 (11/02/2018)\n";

class MainFlow : public ::testing::Test {
 protected:
  EmuBench bench_;
};

TEST_F(MainFlow, HelpNeedsNoDevice) {
  EXPECT_EQ(bench_.Run({"-h"}), 0);
  const std::string output = bench_.Output();
  EXPECT_EQ(output.rfind(kBannerStart, 0), 0u);
  EXPECT_NE(output.find("-h, -H, or -?        Displays this usage information.\n"),
            std::string::npos);
  EXPECT_TRUE(bench_.Log().empty());
}

TEST_F(MainFlow, ParseErrorsEndWithTheParserResult) {
  EXPECT_EQ(bench_.Run({}), -1);
  EXPECT_EQ(AfterBanner(bench_.TakeOutput()),
            "ERROR: One of options -w, -r, -l, -L, -p, -G, -k should be declared\n"
            "ERROR: Parameter Error (use -h for help)\n");
  EXPECT_EQ(bench_.Run({"-w", "-r"}), 3);
}

TEST_F(MainFlow, WithoutAdaptersTheDeviceIsNotFound) {
  EXPECT_EQ(bench_.Run({"-R", "0"}), 1);
  EXPECT_EQ(AfterBanner(bench_.Output()), "ERROR: CreateFile failed!  Device Not Found\n");
}

// -G and -k end the command line, so an INI file named before them is never read.
TEST_F(MainFlow, InformationAndLinkStateIgnoreAnIniFileNamedBefore) {
  for (const char* operation : {"-G", "-k"}) {
    EXPECT_EQ(bench_.Run({"-i", "", operation, operation[1] == 'G' ? "p" : "u"}), 1);
    EXPECT_EQ(AfterBanner(bench_.TakeOutput()), "ERROR: CreateFile failed!  Device Not Found\n");
  }
}

TEST_F(MainFlow, ReadsTheIdRegister) {
  bench_.CreateAdapter(0, 0x5230ABCD);
  EXPECT_EQ(bench_.Run({"-R", "0"}), 0);
  EXPECT_EQ(AfterBanner(bench_.Output()), "Register 0x0 : 0x5230abcd\n");
  const auto log = bench_.Log();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].command, kCmdReadRegister);
  EXPECT_EQ(log[0].signature, 0x10002u);
  EXPECT_EQ(log[0].adapter, 0u);
  EXPECT_EQ(log[0].in_length, 4096u);
}

TEST_F(MainFlow, AcceptsOnlyTheFamilysChips) {
  bench_.CreateAdapter(0, 0x52400001);
  EXPECT_EQ(bench_.Run({"-R", "0"}), 1);
  EXPECT_EQ(AfterBanner(bench_.Output()), "ERROR: This is not QNT52xx device\n");
  EXPECT_EQ(bench_.Log().size(), 1u);
}

TEST_F(MainFlow, FailedIdentificationEndsTheRun) {
  bench_.CreateAdapter();
  bench_.FailStatus(kCmdReadRegister, 2);
  EXPECT_EQ(bench_.Run({"-R", "4"}), 1);
  EXPECT_EQ(AfterBanner(bench_.Output()), "ERROR: READ_REGISTER failed !    status:Other Error\n");
}

TEST_F(MainFlow, AdapterIndexSelectsTheAdapter) {
  bench_.CreateAdapter(0, 0x52300001);
  bench_.CreateAdapter(1, 0x523F0002);
  EXPECT_EQ(bench_.Run({"-X", "1", "-R", "0"}), 0);
  EXPECT_EQ(AfterBanner(bench_.Output()), "Register 0x0 : 0x523f0002\n");
  for (const emu::LogEntry& entry : bench_.Log()) {
    EXPECT_EQ(entry.signature, 0x20001u);
    EXPECT_EQ(entry.adapter, 1u);
  }
}

// Register 0x10 keeps only its low 24 bits: the line shows the value read back, not the one
// written.
TEST_F(MainFlow, RegisterWriteReadsBack) {
  bench_.CreateAdapter();
  EXPECT_EQ(bench_.Run({"-W", "10", "-v", "FFFFFFFF"}), 0);
  EXPECT_EQ(AfterBanner(bench_.Output()), "Register 0x10 : 0xffffff\n");
  const auto writes = bench_.LogOf(kCmdWriteRegister);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].in_length, 20u);
  EXPECT_EQ(writes[0].parameter, 0x10u);
}

// A failed request ends the run with 6. The read-back follows a failed write and shows the value
// the location kept; a value that could not be read is not shown.
TEST_F(MainFlow, FailedAccessesEndWithSixAndShowNoUnreadValue) {
  const struct {
    std::vector<std::string> arguments;
    uint32_t command;
    uint32_t skip;  // the identification reads register 0 first
    const char* output;
  } kCases[] = {
      {{"-R", "10000"}, 0, 0, "ERROR: READ_REGISTER failed !    status:Access failed\n"},
      {{"-W", "20", "-v", "5"},
       kCmdWriteRegister,
       0,
       "ERROR: WRITE_REGISTER failed !    status:Access failed\nRegister 0x20 : 0x1234\n"},
      {{"-W", "20", "-v", "5"},
       kCmdReadRegister,
       1,
       "ERROR: READ_REGISTER failed !    status:Access failed\n"},
      {{"-Y", "1e", "-v", "5"},
       kCmdWritePhy,
       0,
       "ERROR: WRITE_PHY failed !    status:Access failed\nPHY Register 0x1e : 0x0\n"},
      {{"-y", "1e"}, kCmdReadPhy, 0, "ERROR: READ_PHY failed !    status:Access failed\n"},
      {{"-E", "a0", "-v", "5"},
       kCmdWritePciConfig,
       0,
       "ERROR: WRITE_PCICFG failed !    status:Access failed\nPCI Cfg Offset 0xa0 : 0x0\n"},
      {{"-e", "a0"}, kCmdReadPciConfig, 0, "ERROR: READ_PCICFG failed !    status:Access failed\n"},
      {{"-J", "1f", "-v", "5"},
       kCmdWritePciePhy,
       0,
       "ERROR: WRITE_PCIEPHY failed !    status:Access failed\nPCIe Phy Register 0x1f : 0x0\n"},
      {{"-j", "1f"}, kCmdReadPciePhy, 0, "ERROR: READ_PCIEPHY failed !    status:Access failed\n"},
  };
  bench_.CreateAdapter();
  bench_.SetRegister(0x20, 0x1234);
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.arguments[0] + " " + c.arguments[1]);
    if (c.command != 0) bench_.FailStatus(c.command, 1, c.skip);
    EXPECT_EQ(bench_.Run(c.arguments), 6);
    EXPECT_EQ(AfterBanner(bench_.TakeOutput()), c.output);
  }
}

TEST_F(MainFlow, PhyWriteOfSixteenBits) {
  bench_.CreateAdapter();
  EXPECT_EQ(bench_.Run({"-Y", "1e", "-v", "1234"}), 0);
  EXPECT_EQ(AfterBanner(bench_.Output()), "PHY Register 0x1e : 0x1234\n");
  const auto writes = bench_.LogOf(kCmdWritePhy);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].in_length, 18u);
  EXPECT_EQ(bench_.LogOf(kCmdReadPhy).size(), 1u);
}

TEST_F(MainFlow, PciConfigUsesTheLowHalfOfTheAddress) {
  bench_.CreateAdapter(0, 0x52310001);
  EXPECT_EQ(bench_.Run({"-e", "10000"}), 0);
  // Offset 0 holds the device ID over the vendor ID 0x0E1D.
  EXPECT_EQ(AfterBanner(bench_.Output()), "PCI Cfg Offset 0x10000 : 0x52310e1d\n");
  const auto reads = bench_.LogOf(kCmdReadPciConfig);
  ASSERT_EQ(reads.size(), 1u);
  EXPECT_EQ(reads[0].parameter, 0x00040000u);  // offset 0, size 4
}

TEST_F(MainFlow, PciePhyWriteUsesSixteenBitAddressAndValue) {
  bench_.CreateAdapter();
  EXPECT_EQ(bench_.Run({"-J", "12345", "-v", "6789A"}), 0);
  EXPECT_EQ(AfterBanner(bench_.Output()), "PCIe Phy Register 0x2345 : 0x789a\n");
  EXPECT_EQ(bench_.PciePhy(0x2345), 0x789Au);
  const auto writes = bench_.LogOf(kCmdWritePciePhy);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].in_length, 18u);
  EXPECT_EQ(writes[0].parameter & 0xFFFF, 0x2345u);
}

}  // namespace
