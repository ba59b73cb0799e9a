// request_dump.cpp - hex dumps of request blocks for the failure messages of the device doubles.
#include "support/request_dump.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "emu/wire_format.h"

std::string HexText(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", value);
  return text;
}

std::string RequestCommandText(uint32_t command) {
  const char* name = emu::CommandName(command);
  return name != nullptr ? name : "command " + std::to_string(command);
}

namespace {

// One 16-byte row of |bytes| from |row|; bytes at or past |end| show as "..".
std::string Row(const uint8_t* bytes, size_t row, size_t end) {
  std::string line;
  for (size_t i = row; i < row + 16; ++i) {
    char cell[4];
    if (i < end) {
      std::snprintf(cell, sizeof cell, " %02x", bytes[i]);
    } else {
      std::snprintf(cell, sizeof cell, " ..");
    }
    line += cell;
  }
  return line;
}

}  // namespace

// The rows of the expected and the sent block that differ within the first |end| bytes.
std::string DifferingRequestRows(const uint8_t* expected, const uint8_t* sent, size_t end) {
  std::string dump;
  for (size_t row = 0; row < end; row += 16) {
    const size_t row_end = std::min(end, row + 16);
    if (std::memcmp(expected + row, sent + row, row_end - row) == 0) continue;
    char offset[40];
    std::snprintf(offset, sizeof offset, "  %04zx expected", row);
    dump += offset + Row(expected, row, row_end) + "\n";
    std::snprintf(offset, sizeof offset, "  %04zx sent    ", row);
    dump += offset + Row(sent, row, row_end) + "\n";
  }
  return dump;
}

std::string RequestHeaderDump(const uint8_t* block, size_t available) {
  return "  0000 block   " + Row(block, 0, std::min<size_t>(available, 16)) + "\n";
}
