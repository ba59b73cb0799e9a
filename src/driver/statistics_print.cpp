// statistics_print.cpp - the statistics block: a title, one padded line per shown counter, a
// closing rule.
#include "driver/statistics_print.h"

#include "common/little_endian.h"

void PrintTxRxStatistics(Console& console, const uint8_t record[kTxRxStatsSize]) {
  console.Print("********* ETHERNET RX & TX STATISTICS *********\n\n");
  for (const StatisticsCounter& counter : kStatisticsCounters) {
    if (!counter.printed) continue;
    console.Printf("   %-27s = 0x%08x\n", counter.name,
                   static_cast<unsigned>(GetLe32(record, counter.offset)));
  }
  console.Print("\n***********************************************\n");
}
