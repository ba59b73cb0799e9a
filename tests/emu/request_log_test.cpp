// request_log_test.cpp - the request log's lines, and that a run's lines all reach the file.
#include <gtest/gtest.h>

#include "emu/machine.h"
#include "emu/request_log.h"
#include "exchange.h"
#include "support/emu_bench.h"

namespace {

// Every field at its widest and narrowest: decimal fields unpadded, sig in hex without padding,
// param and data in eight lowercase hex digits.
TEST(RequestLog, LinesSpellEveryFieldAsDocumented) {
  const emu::LogEntry widest{.command = 4294967295,
                             .in_length = 4294967295,
                             .signature = 0xFFFFFFFF,
                             .adapter = 4294967295,
                             .parameter = 0xABCDEF01,
                             .data = 0xFEDCBA98,
                             .status = 4294967295,
                             .returned = 4294967295};
  EXPECT_EQ(emu::FormatLogEntry(widest),
            "cmd=4294967295 in=4294967295 sig=0xffffffff adapter=4294967295 param=0xabcdef01 "
            "data=0xfedcba98 status=4294967295 returned=4294967295");
  const emu::LogEntry failed{.command = 0, .failed = true, .error = 87};
  EXPECT_EQ(emu::FormatLogEntry(failed),
            "cmd=0 in=0 sig=0x0 adapter=0 param=0x00000000 data=0x00000000 error=87");
  const emu::LogEntry middle{.command = 10,
                             .in_length = 17,
                             .signature = 0x20001,
                             .adapter = 10,
                             .parameter = 0x100,
                             .data = 0x7,
                             .status = 100,
                             .returned = 16};
  EXPECT_EQ(emu::FormatLogEntry(middle),
            "cmd=10 in=17 sig=0x20001 adapter=10 param=0x00000100 data=0x00000007 status=100 "
            "returned=16");
}

// A download sends tens of thousands of requests: the lines are gathered and written out as the
// buffer fills and when the device goes away, here without an explicit close.
TEST(RequestLog, EveryLineOfALongRunReachesTheFileInOrder) {
  EmuBench bench;
  bench.CreateAdapter();
  constexpr uint32_t kRequests = 3000;  // about 270 KB of lines
  {
    emu::Machine machine(bench.dir());
    ASSERT_EQ(machine.Open(), 0u);
    for (uint32_t i = 0; i < kRequests; ++i) {
      RawRequest(emu::kReadRegister).Parameter(4 * i).Send(machine);
    }
  }
  const std::vector<emu::LogEntry> log = bench.Log();
  ASSERT_EQ(log.size(), kRequests);
  for (uint32_t i = 0; i < kRequests; ++i) {
    ASSERT_EQ(log[i].parameter, 4 * i) << "line " << i;
  }
}

}  // namespace
