// otp_flow_support.h - shared pieces of the OTP flow tests: OTP contents and image files made by
// hand from the layout, and the requests a run sent to the OTP.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "nvm/eeprom_flow_support.h"

// A lower-half (0xF3) image whose offset tables end it at |end| bytes: one string descriptor
// from word 96 (byte 192), the rest a pattern. |end| is 192 to 447.
inline std::vector<uint8_t> LowerImage(int end, uint8_t seed = 1) {
  std::vector<uint8_t> image(static_cast<size_t>(end));
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 29 + seed);
  image[0] = 0xF3;
  for (int table = 0x25; table < 0x47; ++table) image[table] = 0;
  image[0x25] = static_cast<uint8_t>(end - 192);
  image[0x26] = 96;
  return image;
}

// The 0xF7 file form of an upper-half image of |image_length| bytes (signature included): the
// signature, a zero gap up to 0x100, then the body from 0x101.
inline std::vector<uint8_t> UpperFile(int image_length, uint8_t seed = 7) {
  std::vector<uint8_t> file(static_cast<size_t>(image_length) + 256, 0);
  file[0] = 0xF7;
  for (int i = 1; i < image_length; ++i) file[0x100 + i] = static_cast<uint8_t>(i * 31 + seed);
  return file;
}

// The 512 OTP bytes after |written| (OTP offset, bytes) landed on |before|: bits only go on.
inline std::vector<uint8_t> OtpAfter(
    std::vector<uint8_t> before, const std::vector<std::pair<int, std::vector<uint8_t>>>& written) {
  before.resize(512, 0);
  for (const auto& [offset, bytes] : written) {
    for (size_t i = 0; i < bytes.size(); ++i) before[offset + i] |= bytes[i];
  }
  return before;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteFileText(path, std::string(bytes.begin(), bytes.end()));
}

// One OTP block request: OTP offset and byte count.
struct OtpBlock {
  uint32_t offset;
  uint32_t count;
  bool operator==(const OtpBlock&) const = default;
};

inline std::vector<OtpBlock> OtpBlocks(const std::vector<emu::LogEntry>& entries) {
  std::vector<OtpBlock> blocks;
  for (const emu::LogEntry& e : entries)
    blocks.push_back({e.parameter & 0xFFFF, e.parameter >> 16});
  return blocks;
}

inline std::ostream& operator<<(std::ostream& out, const OtpBlock& block) {
  return out << "(" << block.offset << ", " << block.count << ")";
}

constexpr char kPromptLower[] =
    "WARNING: OTP will be written from offset 0, Please confirm (y/n): ";
constexpr char kPromptUpper[] =
    "WARNING: OTP will be written to offset 0x101, Please confirm (y/n): ";

class OtpFlow : public EepromFlow {
 protected:
  int RunWith(const std::string& input, const std::vector<std::string>& arguments) {
    bench_.ClearLog();
    bench_.SetInput(input);
    return Run(arguments);
  }
};
