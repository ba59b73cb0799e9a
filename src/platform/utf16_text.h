// utf16_text.h - UTF-8 text as UTF-16 and back, for the services whose calls take wide text.
#pragma once

#include <string>

// A byte that starts no valid UTF-8 sequence becomes U+FFFD; the text is otherwise unchanged.
std::u16string Utf16Of(const std::string& utf8);
// An unpaired surrogate becomes U+FFFD.
std::string Utf8Of(const std::u16string& utf16);
