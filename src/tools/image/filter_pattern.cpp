// filter_pattern.cpp - the pattern search. The CRC has no final inversion, so it is affine in the
// pattern bits: crc(x ^ y) = crc(x) ^ crc(y) ^ crc(0). One or two marked bytes are searched
// exhaustively; with more, the sixteen CRC equations are solved over GF(2) and the free bits are
// drawn until every marked byte comes out nonzero.
#include "tools/image/filter_pattern.h"

#include <bitset>
#include <random>
#include <vector>

namespace {

constexpr int kCrcBits = 16;
constexpr int kPatternBits = 8 * static_cast<int>(kFilterPatternBytes);
constexpr int kDraws = 2000;

using Bits = std::bitset<kPatternBits>;

uint16_t Crc(const FilterPattern& pattern) { return WakeFilterCrc16(pattern.data()); }

// The linear part of the CRC of |value| alone at byte |position|.
uint16_t LinearPart(int position, uint8_t value, uint16_t crc_of_zero) {
  FilterPattern single{};
  single[static_cast<size_t>(position)] = value;
  return static_cast<uint16_t>(Crc(single) ^ crc_of_zero);
}

std::optional<FilterPattern> SearchTwo(const std::vector<int>& marked, uint16_t wanted,
                                       uint16_t crc_of_zero) {
  FilterPattern pattern{};
  const size_t count = marked.size();
  std::vector<uint16_t> first(0x100, 0);
  std::vector<uint16_t> second(0x100, 0);
  for (int value = 1; value <= 0xFF; ++value) {
    first[static_cast<size_t>(value)] =
        LinearPart(marked[0], static_cast<uint8_t>(value), crc_of_zero);
    if (count == 2) {
      second[static_cast<size_t>(value)] =
          LinearPart(marked[1], static_cast<uint8_t>(value), crc_of_zero);
    }
  }
  for (int a = 1; a <= 0xFF; ++a) {
    for (int b = count == 2 ? 1 : 0; b <= (count == 2 ? 0xFF : 0); ++b) {
      if ((first[static_cast<size_t>(a)] ^ second[static_cast<size_t>(b)]) != wanted) continue;
      pattern[static_cast<size_t>(marked[0])] = static_cast<uint8_t>(a);
      if (count == 2) pattern[static_cast<size_t>(marked[1])] = static_cast<uint8_t>(b);
      return pattern;
    }
  }
  return std::nullopt;
}

std::optional<FilterPattern> SolveMany(const std::vector<int>& marked, uint16_t wanted,
                                       uint16_t crc_of_zero) {
  // Row r: which unknown bits flip CRC bit r; the unknowns are the bits of the marked bytes.
  std::vector<int> unknown_bit;  // pattern bit index of each unknown
  for (const int position : marked) {
    for (int bit = 0; bit < 8; ++bit) unknown_bit.push_back(8 * position + bit);
  }
  Bits rows[kCrcBits];
  bool targets[kCrcBits];
  for (int r = 0; r < kCrcBits; ++r) targets[r] = ((wanted >> r) & 1) != 0;
  for (size_t u = 0; u < unknown_bit.size(); ++u) {
    const uint16_t part = LinearPart(unknown_bit[u] / 8,
                                     static_cast<uint8_t>(1u << (unknown_bit[u] % 8)), crc_of_zero);
    for (int r = 0; r < kCrcBits; ++r) rows[r][u] = ((part >> r) & 1) != 0;
  }
  // Gaussian elimination to reduced row echelon form.
  std::vector<int> pivot_of_row;
  for (size_t column = 0; column < unknown_bit.size() && pivot_of_row.size() < kCrcBits; ++column) {
    const size_t row = pivot_of_row.size();
    size_t found = row;
    while (found < kCrcBits && !rows[found][column]) ++found;
    if (found == kCrcBits) continue;
    std::swap(rows[row], rows[found]);
    std::swap(targets[row], targets[found]);
    for (size_t other = 0; other < kCrcBits; ++other) {
      if (other != row && rows[other][column]) {
        rows[other] ^= rows[row];
        targets[other] = targets[other] != targets[row];
      }
    }
    pivot_of_row.push_back(static_cast<int>(column));
  }
  for (size_t row = pivot_of_row.size(); row < kCrcBits; ++row) {
    if (targets[row]) return std::nullopt;  // 0 = 1: no pattern on these bytes has this CRC
  }
  std::mt19937 random(crc_of_zero ^ wanted);
  for (int draw = 0; draw < kDraws; ++draw) {
    Bits x;
    for (size_t u = 0; u < unknown_bit.size(); ++u) x[u] = (random() & 1) != 0;
    for (size_t row = 0; row < pivot_of_row.size(); ++row) {
      const size_t pivot = static_cast<size_t>(pivot_of_row[row]);
      x[pivot] = false;
      x[pivot] = ((rows[row] & x).count() % 2 == 1) != targets[row];
    }
    FilterPattern pattern{};
    for (size_t u = 0; u < unknown_bit.size(); ++u) {
      if (x[u]) pattern[static_cast<size_t>(unknown_bit[u] / 8)] |= 1u << (unknown_bit[u] % 8);
    }
    bool all_nonzero = true;
    for (const int position : marked) all_nonzero &= pattern[static_cast<size_t>(position)] != 0;
    if (all_nonzero) return pattern;
  }
  return std::nullopt;
}

}  // namespace

std::optional<FilterPattern> FindFilterPattern(const uint8_t mask[kFilterMaskBytes], uint16_t crc) {
  std::vector<int> marked;
  for (int k = 0; k < kFilterMaskBytes; ++k) {
    for (int bit = 0; bit < 8; ++bit) {
      if ((mask[k] >> bit) & 1) marked.push_back(8 * k + bit);
    }
  }
  const FilterPattern zero{};
  const uint16_t crc_of_zero = Crc(zero);
  if (marked.empty()) return crc == crc_of_zero ? std::optional<FilterPattern>(zero) : std::nullopt;
  const auto wanted = static_cast<uint16_t>(crc ^ crc_of_zero);
  if (marked.size() <= 2) return SearchTwo(marked, wanted, crc_of_zero);
  return SolveMany(marked, wanted, crc_of_zero);
}
