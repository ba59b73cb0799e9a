// ini_line.h - reading the INI file line by line and finding keys in a line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

constexpr size_t kIniLineCapacity = 257;  // 256 characters and the terminating NUL

// An open INI file, or INI text already in memory (|file| null: |size| bytes at |bytes|), and the
// byte offset of the next character to be read from it. Offsets are counted here rather than
// asked of the stream, so they are exact for any stream.
struct IniSource {
  std::FILE* file = nullptr;
  int64_t offset = 0;
  const char* bytes = nullptr;
  size_t size = 0;
};

enum class IniLineEnd {
  kComplete,   // the line ended with a line feed
  kEndOfFile,  // the file ended; the characters read so far are still a line, possibly empty
  kReadError,  // the file could not be read to its end
};

struct IniLine {
  size_t length = 0;     // characters stored, without the NUL
  int64_t position = 0;  // file offset of the line's first character
};

// Reads the next line into |buffer| (|capacity| bytes, at least 1), always NUL-terminated. Lines
// starting with "#" are skipped as comments; CR LF ends a line like LF; characters beyond
// |capacity| - 1 are read and dropped.
IniLineEnd ReadIniLine(IniSource& source, char* buffer, size_t capacity, IniLine& line);

// Index of the first character at or after |position| that is neither a blank nor a tab.
size_t SkipBlanks(const char* text, size_t position);

// Ends |text| at its first blank or tab.
void CutAtBlank(char* text);

// Index in |line| of the value of |key| standing at |position| ("key = value"), or -1 when the
// key is not there or its value is empty. The value runs to the end of the line, uncut.
ptrdiff_t FindKeyValue(const char* line, const char* key, size_t position);

// True when the line's first non-blank character (at index *first) is "[" and its last stored
// character is "]".
bool IsIniHeader(const char* line, size_t length, size_t* first);
