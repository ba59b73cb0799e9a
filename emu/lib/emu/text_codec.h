// text_codec.h - the texts of the emulator: UTF-8 to the driver's little-endian UTF-16 answers,
// the quoting of texts in the state file, and the hexadecimal bytes of its memory lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace emu {

// UTF-16LE bytes of |text| with a terminating zero character. Invalid UTF-8 bytes become U+FFFD.
std::vector<uint8_t> Utf8ToUtf16Le(const std::string& text);

// |text| in double quotes, with backslash, double quote and control bytes escaped (\\, \", \xHH).
std::string QuoteText(const std::string& text);
// The reverse of QuoteText; false when |quoted| is not such a text.
bool UnquoteText(const std::string& quoted, std::string* text);

// 0 to 15 for 0-9, a-f and A-F; -1 for any other character.
int HexValue(char c);
// The bytes that the words of |text|, apart by blanks and tabs, spell in pairs of hexadecimal
// digits, into |bytes| and their number into |*count|; false at a word that is not an even number
// of digits or at a byte past |room| (|bytes| then holds the bytes before it).
bool DecodeHexWords(std::string_view text, uint8_t* bytes, size_t room, size_t* count);

}  // namespace emu
