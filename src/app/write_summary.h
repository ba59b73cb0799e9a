// write_summary.h - the one line that says what a write put on a board, or is about to burn into
// its OTP: the adapter, the chip, the memory, the identity and the image's CRC, for the station's
// log.
#pragma once

#include <cstdint>
#include <string>

#include "app/record_stage.h"
#include "app/run_state.h"
#include "common/image_buffer.h"

struct WriteFacts {
  uint32_t adapter = 0;
  const ChipIdentity* chip = nullptr;
  bool otp = false;
  const BoardIdentity* identity = nullptr;  // as the run settled it before the board
  const ImageBuffer* image = nullptr;       // as it goes to the memory (an OTP image, not its file)
};

// "adapter 0 (qnt5230) EEPROM, MAC address 00:11:22:33:44:55, serial number 000000000001, 302
// bytes, CRC-32 0xB8E3DAB8". An image that is none of this family, given no identity by
// the INI file, has "no identity": the bytes where an image keeps one mean nothing there.
std::string DescribeWrite(const WriteFacts& facts, const DeviceSettings& settings);
