// cable_fault_sweep_flow_test.cpp - every request of a -V run on a port with a link, failed in
// each way a driver can fail it: the run either ends as the clean run did, or ends with 6 having
// put registers 0 and 9 back and let the link up again, except where the fault struck the very
// request that puts one of them back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/request_block.h"
#include "support/emu_bench.h"
#include "support/request_faults.h"

namespace {

TEST(CableFaultSweep, EveryFaultedRunFailsOrLeavesThePortAsFound) {
  EmuBench bench;
  bench.CreateAdapter();
  bench.SetLinkDelay(0);
  bench.SetPartner("autoneg 1000fd,100fd,100hd,10fd,10hd");
  // Open and shorted pairs are results: the clean run succeeds.
  bench.Update([](emu::AdapterState& s) {
    s.cable[0] = {.set = true, .status = 0, .data = 0, .busy_polls = 1};
    s.cable[1] = {.set = true, .status = 1, .data = 100};
    s.cable[2] = {.set = true, .status = 2, .data = 40};
    s.cable[3] = {.set = true, .status = 0, .data = 0};
  });
  const emu::AdapterState found = bench.State();
  const uint32_t control = bench.Phy(0);
  const uint32_t gig_control = bench.Phy(9);
  ASSERT_NE(bench.Phy(1) & 0x0004, 0u);  // the link is up

  bench.ClearLog();
  ASSERT_EQ(bench.Run({"-V"}), 0);
  const std::string clean_output = bench.TakeOutput();
  const std::vector<emu::LogEntry> clean = bench.Log();
  const std::vector<uint32_t> commands = LoggedCommands(bench);

  for (size_t position = 1; position < clean.size(); ++position) {
    const emu::LogEntry& request = clean[position];
    const bool restores_9 =
        request.command == kCmdWritePhy && request.parameter == 9 && request.data == gig_control;
    const bool restores_0 =
        request.command == kCmdWritePhy && request.parameter == 0 && request.data == control;
    const bool lets_link_up = request.command == kCmdSetLinkState && request.data == 1;
    for (const RequestFault fault : kRequestFaults) {
      SCOPED_TRACE("request " + std::to_string(position) + ", " + RequestFaultName(fault));
      bench.Update([&](emu::AdapterState& s) { s = found; });
      PlanRequestFault(bench, commands, position, fault);
      const int exit_code = bench.Run({"-V"});
      const std::string output = bench.TakeOutput();
      const emu::AdapterState after = bench.State();

      if (exit_code == 0) {
        // Only a request whose loss changes nothing, or cannot be seen, may be lost.
        EXPECT_EQ(fault, RequestFault::kNoEffect);
        EXPECT_EQ(output, clean_output);
      } else {
        // An error or a pair that timed out says why.
        EXPECT_EQ(exit_code, 6);
        EXPECT_NE(output, clean_output);
      }
      // Registers that are not back are found and reported.
      if (bench.Phy(0) != control || bench.Phy(9) != gig_control) {
        EXPECT_EQ(exit_code, 6);
      }
      // Where the PHY still answers, the port is left as it was found.
      if (fault == RequestFault::kDeadFromHere) continue;
      if (!restores_0) {
        EXPECT_EQ(bench.Phy(0), control);
      }
      if (!restores_9) {
        EXPECT_EQ(bench.Phy(9), gig_control);
      }
      if (!lets_link_up) {
        EXPECT_TRUE(after.link_runtime.admin_up);
      }
    }
  }
}

}  // namespace
