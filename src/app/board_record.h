// board_record.h - the per-board record kept with -t: one CSV line per board written, and the
// search that keeps a MAC address from being programmed into a second board.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "config/device_settings.h"

constexpr char kBoardRecordHeader[] =
    "time,adapter,chip,memory,mac_address,serial_number,image_length,crc32,file,result\n";

struct BoardRecordLine {
  std::string time;  // UTC, ISO 8601
  uint32_t adapter = 0;
  std::string chip;
  std::string memory;  // "eeprom" or "otp"
  std::string mac_address;
  std::string serial_number;
  int32_t image_length = 0;
  uint32_t crc32 = 0;
  std::string file;
  int result = 0;  // the run's exit code
};

// The line as CSV, ending in "\n"; fields holding a comma, a quote or a line end are quoted.
std::string FormatBoardRecordLine(const BoardRecordLine& line);

// The 1-based line number of the first line of |record| that shows |mac_address| programmed with
// result 0, or 0 when there is none.
int FindProgrammedMacAddress(const std::string& record, const std::string& mac_address);

// "00:11:22:33:44:55"
std::string MacAddressText(const MacAddress& mac);

// The CRC-32 of IEEE 802.3 (reflected, polynomial 0xEDB88320, start and final inversion).
uint32_t Crc32(const uint8_t* data, size_t length);
