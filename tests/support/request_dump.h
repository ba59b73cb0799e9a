// request_dump.h - request blocks in failure messages: command names, the header as hex bytes and
// the rows in which a sent block differs from the expected one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

std::string HexText(uint32_t value);
// The command's name as the driver's documentation writes it, or its number.
std::string RequestCommandText(uint32_t command);
// The 16-byte rows, within the first |end| bytes, in which |sent| differs from |expected|: each
// as an "expected" and a "sent" line of hex bytes.
std::string DifferingRequestRows(const uint8_t* expected, const uint8_t* sent, size_t end);
// The block's header (of the |available| bytes sent) as one line of hex bytes.
std::string RequestHeaderDump(const uint8_t* block, size_t available);
