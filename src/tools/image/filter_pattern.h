// filter_pattern.h - finding a wake-up filter pattern back from what an image keeps of it: the
// image holds only the CRC of the 128 pattern bytes and a mask of which bytes are nonzero.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "format/image_blocks.h"

using FilterPattern = std::array<uint8_t, kFilterPatternBytes>;

// A pattern whose nonzero bytes are exactly those the mask marks (bit b of mask byte k stands for
// pattern byte 8k + b) and whose CRC is |crc|, or nothing when no such pattern exists. With fewer
// than two marked bytes the search is exhaustive; otherwise it uses the CRC's linearity.
std::optional<FilterPattern> FindFilterPattern(const uint8_t mask[kFilterMaskBytes], uint16_t crc);
