// image_blocks.h - the three optional blocks that may follow an image's strings, in block-table
// order: the wake-up filter, the LTM/BELT values and the test-bus word.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format/image_layout.h"

constexpr int kWakeFilterBlock = 0;
constexpr int kLtmBeltBlock = 1;
constexpr int kTestBusBlock = 2;
inline constexpr int kBlockLengths[kBlockCount] = {20, 24, 4};
inline constexpr const char* kBlockNames[kBlockCount] = {"wake-up filter", "LTM/BELT", "test bus"};

// The wake-up filter block keeps only the CRC of the pattern (16 bits at 0), the pattern offset
// (byte 2), a control byte (the mark ORed with the address type) and a mask with one bit per
// pattern byte: bit b of mask byte k is set when pattern byte 8k + b is nonzero.
constexpr size_t kFilterPatternBytes = 128;
constexpr int kFilterMaskBytes = 16;
constexpr int kFilterCrcAt = 0;
constexpr int kFilterPatternOffsetAt = 2;
constexpr int kFilterControlAt = 3;
constexpr int kFilterMaskAt = 4;
constexpr uint8_t kFilterControlMark = 0x80;
constexpr uint8_t kFilterAddressTypeMask = 0x03;

// The LTM/BELT block: six 32-bit values, named by their INI keys.
constexpr int kLtmBeltValues = 6;
inline constexpr const char* kLtmBeltKeys[kLtmBeltValues] = {
    "LTMBELTIdle0",   "LTMBELTIdle1",     "LTMBELTActive0",
    "LTMBELTActive1", "LTMBELTInActive0", "LTMBELTInActive1"};

// The 16-bit CRC of the 128 filter pattern bytes (polynomial 0x8005, start 0xFFFF, bits taken
// from the least significant, no final inversion).
uint16_t WakeFilterCrc16(const uint8_t pattern[kFilterPatternBytes]);
