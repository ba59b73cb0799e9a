// board_record.cpp - formatting and reading the CSV lines of the per-board record.
#include "app/board_record.h"

#include <cstdio>
#include <vector>

namespace {

constexpr size_t kMacColumn = 4;
constexpr size_t kColumns = 10;

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

// The fields of one CSV line (quotes undone); |*next| is where the following line starts.
std::vector<std::string> ParseCsvLine(const std::string& text, size_t start, size_t* next) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  size_t i = start;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else if (c == '\n') {
      break;
    } else if (c != '\r') {
      fields.back() += c;
    }
  }
  *next = i + 1;
  return fields;
}

}  // namespace

std::string FormatBoardRecordLine(const BoardRecordLine& line) {
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, "%d,%08X", static_cast<int>(line.image_length),
                static_cast<unsigned>(line.crc32));
  return CsvField(line.time) + "," + std::to_string(line.adapter) + "," + CsvField(line.chip) +
         "," + line.memory + "," + line.mac_address + "," + CsvField(line.serial_number) + "," +
         numbers + "," + CsvField(line.file) + "," + std::to_string(line.result) + "\n";
}

int FindProgrammedMacAddress(const std::string& record, const std::string& mac_address) {
  int number = 0;
  for (size_t start = 0; start < record.size();) {
    ++number;
    const std::vector<std::string> fields = ParseCsvLine(record, start, &start);
    if (fields.size() == kColumns && fields[kMacColumn] == mac_address && fields.back() == "0") {
      return number;
    }
  }
  return 0;
}

std::string MacAddressText(const MacAddress& mac) {
  char text[18];
  std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3],
                mac[4], mac[5]);
  return text;
}

uint32_t Crc32(const uint8_t* data, size_t length) {
  uint32_t crc = 0xFFFFFFFF;
  for (size_t i = 0; i < length; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1) != 0 ? 0xEDB88320 : 0);
  }
  return ~crc;
}
