// statistics_print.cpp - the statistics block: a title, one padded line per shown counter, a
// closing rule.
#include "driver/statistics_print.h"

namespace {

uint32_t CounterAt(const uint8_t* record, uint32_t offset) {
  return static_cast<uint32_t>(record[offset]) | static_cast<uint32_t>(record[offset + 1]) << 8 |
         static_cast<uint32_t>(record[offset + 2]) << 16 |
         static_cast<uint32_t>(record[offset + 3]) << 24;
}

}  // namespace

void PrintTxRxStatistics(Console& console, const uint8_t record[kTxRxStatsSize]) {
  console.Print("********* ETHERNET RX & TX STATISTICS *********\n\n");
  for (const StatisticsCounter& counter : kStatisticsCounters) {
    if (!counter.printed) continue;
    console.Printf("   %-27s = 0x%08x\n", counter.name,
                   static_cast<unsigned>(CounterAt(record, counter.offset)));
  }
  console.Print("\n***********************************************\n");
}
