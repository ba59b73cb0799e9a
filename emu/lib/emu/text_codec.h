// text_codec.h - the texts of the emulator: UTF-8 to the driver's little-endian UTF-16 answers,
// and the quoting of texts in the state file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace emu {

// UTF-16LE bytes of |text| with a terminating zero character. Invalid UTF-8 bytes become U+FFFD.
std::vector<uint8_t> Utf8ToUtf16Le(const std::string& text);

// |text| in double quotes, with backslash, double quote and control bytes escaped (\\, \", \xHH).
std::string QuoteText(const std::string& text);
// The reverse of QuoteText; false when |quoted| is not such a text.
bool UnquoteText(const std::string& quoted, std::string* text);

}  // namespace emu
