// filter_pattern.cpp - the pattern search: the CRC has no final inversion, so it is affine in the
// pattern bits, crc(x ^ y) = crc(x) ^ crc(y) ^ crc(0), and two free bytes can be solved for with
// one table lookup per value of the first.
#include "config/image/filter_pattern.h"

#include <vector>

#include "config/image/optional_blocks.h"

namespace {

uint16_t Crc(const FilterPattern& pattern) { return WakeFilterCrc16(pattern.data()); }

// crc of |value| alone at |position|, with the constant part removed.
uint16_t LinearPart(int position, uint8_t value, uint16_t crc_of_zero) {
  FilterPattern single{};
  single[static_cast<size_t>(position)] = value;
  return static_cast<uint16_t>(Crc(single) ^ crc_of_zero);
}

}  // namespace

std::optional<FilterPattern> FindFilterPattern(const uint8_t mask[kFilterMaskBytes], uint16_t crc) {
  std::vector<int> marked;
  for (int k = 0; k < kFilterMaskBytes; ++k) {
    for (int bit = 0; bit < 8; ++bit) {
      if ((mask[k] >> bit) & 1) marked.push_back(8 * k + bit);
    }
  }
  FilterPattern pattern{};
  if (marked.empty()) {
    if (Crc(pattern) == crc) return pattern;
    return std::nullopt;
  }
  if (marked.size() == 1) {
    for (int value = 1; value <= 0xFF; ++value) {
      pattern[static_cast<size_t>(marked[0])] = static_cast<uint8_t>(value);
      if (Crc(pattern) == crc) return pattern;
    }
    return std::nullopt;
  }

  const FilterPattern zero{};
  const uint16_t crc_of_zero = Crc(zero);
  const int first = marked[marked.size() - 2];
  const int second = marked[marked.size() - 1];
  // For the second free byte: which value gives each linear part (0 where none does).
  std::vector<uint8_t> second_value_of(0x10000, 0);
  std::vector<uint16_t> first_part(0x100, 0);
  for (int value = 1; value <= 0xFF; ++value) {
    second_value_of[LinearPart(second, static_cast<uint8_t>(value), crc_of_zero)] =
        static_cast<uint8_t>(value);
    first_part[static_cast<size_t>(value)] =
        LinearPart(first, static_cast<uint8_t>(value), crc_of_zero);
  }
  // The other marked bytes take one common value; try each until the two free bytes solve it.
  const bool others = marked.size() > 2;
  for (int fill = 1; fill <= (others ? 0xFF : 1); ++fill) {
    pattern.fill(0);
    for (size_t i = 0; i + 2 < marked.size(); ++i) {
      pattern[static_cast<size_t>(marked[i])] = static_cast<uint8_t>(fill);
    }
    const uint16_t wanted = static_cast<uint16_t>(crc ^ Crc(pattern));
    for (int value = 1; value <= 0xFF; ++value) {
      const uint16_t rest = static_cast<uint16_t>(wanted ^ first_part[static_cast<size_t>(value)]);
      const uint8_t second_value = second_value_of[rest];
      if (second_value == 0) continue;
      pattern[static_cast<size_t>(first)] = static_cast<uint8_t>(value);
      pattern[static_cast<size_t>(second)] = second_value;
      return pattern;
    }
  }
  return std::nullopt;
}
