// statistics_print.h - the Ethernet receive/transmit statistics record the driver sends, and the
// block -G e prints from it.
#pragma once

#include <cstdint>

#include "driver/request_block.h"
#include "platform/console.h"

// One 32-bit counter of the record, by its byte offset. Two words are sent but never shown.
struct StatisticsCounter {
  uint32_t offset;
  const char* name;
  bool printed;
};

inline constexpr StatisticsCounter kStatisticsCounters[] = {
    {.offset = 0, .name = "RxCrcErrors", .printed = true},
    {.offset = 4, .name = "RxAlignmentErrors", .printed = true},
    {.offset = 8, .name = "RxFragmentErrors", .printed = true},
    {.offset = 12, .name = "RxJabberErrors", .printed = true},
    {.offset = 16, .name = "RxRuntFrameErrors", .printed = true},
    {.offset = 20, .name = "RxFrameTooLongErrors", .printed = true},
    {.offset = 24, .name = "RxDroppedFrames", .printed = true},
    {.offset = 28, .name = "RxGoodUnicastBytes", .printed = true},
    {.offset = 32, .name = "RxGoodBroadcastBytes", .printed = true},
    {.offset = 36, .name = "RxGoodMulticastBytes", .printed = true},
    {.offset = 40, .name = "RxGoodUnicastFrames", .printed = true},
    {.offset = 44, .name = "RxGoodBroadcastFrames", .printed = true},
    {.offset = 48, .name = "RxGoodMulticastFrames", .printed = true},
    {.offset = 52, .name = "RxPauseFrames", .printed = true},
    {.offset = 56, .name = "RxGood64ByteFrames", .printed = true},
    {.offset = 60, .name = "RxGood65To127ByteFrames", .printed = true},
    {.offset = 64, .name = "RxGood128To255ByteFrames", .printed = true},
    {.offset = 68, .name = "RxGood256To511ByteFrames", .printed = true},
    {.offset = 72, .name = "RxGood512To1023ByteFrames", .printed = true},
    {.offset = 76, .name = "RxGood1024To1518ByteFrames", .printed = true},
    {.offset = 80, .name = "RxGoodGreater1518ByteFrames", .printed = true},
    {.offset = 84, .name = "Reserved84", .printed = false},
    {.offset = 88, .name = "EeeRxLpiTransitions", .printed = true},
    {.offset = 92, .name = "EeeRxLpiTime", .printed = true},
    {.offset = 96, .name = "TxCrcErrors", .printed = true},
    {.offset = 100, .name = "TxExcessiveDeferralErrors", .printed = true},
    {.offset = 104, .name = "TxCarrierErrors", .printed = true},
    {.offset = 108, .name = "TxBadBytes", .printed = true},
    {.offset = 112, .name = "TxSingleCollisions", .printed = true},
    {.offset = 116, .name = "TxMultipleCollisions", .printed = true},
    {.offset = 120, .name = "TxExcessiveCollisionErrors", .printed = true},
    {.offset = 124, .name = "TxLateCollisionErrors", .printed = true},
    {.offset = 128, .name = "TxGoodUnicastBytes", .printed = true},
    {.offset = 132, .name = "TxGoodBroadcastBytes", .printed = true},
    {.offset = 136, .name = "TxGoodMulticastBytes", .printed = true},
    {.offset = 140, .name = "TxGoodUnicastFrames", .printed = true},
    {.offset = 144, .name = "TxGoodBroadcastFrames", .printed = true},
    {.offset = 148, .name = "TxGoodMulticastFrames", .printed = true},
    {.offset = 152, .name = "TxPauseFrames", .printed = true},
    {.offset = 156, .name = "TxGood64ByteFrames", .printed = true},
    {.offset = 160, .name = "TxGood65To127ByteFrames", .printed = true},
    {.offset = 164, .name = "TxGood128To255ByteFrames", .printed = true},
    {.offset = 168, .name = "TxGood256To511ByteFrames", .printed = true},
    {.offset = 172, .name = "TxGood512To1023ByteFrames", .printed = true},
    {.offset = 176, .name = "TxGood1024To1518ByteFrames", .printed = true},
    {.offset = 180, .name = "TxGoodGreater1518ByteFrames", .printed = true},
    {.offset = 184, .name = "Reserved184", .printed = false},
    {.offset = 188, .name = "EeeTxLpiTransitions", .printed = true},
    {.offset = 192, .name = "EeeTxLpiTime", .printed = true},
};

// Prints the statistics block of |record| (little-endian counters).
void PrintTxRxStatistics(Console& console, const uint8_t record[kTxRxStatsSize]);
