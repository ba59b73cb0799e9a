// adapter_info_text.h - turning the driver's wide-character text answers into console text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The UTF-16LE text in the first |length| bytes of |bytes|, up to its first zero character or
// the end of the bytes (a text need not be terminated), as UTF-8. A lone surrogate becomes '?';
// an odd last byte is ignored.
std::string WideTextToConsole(const uint8_t* bytes, size_t length);
