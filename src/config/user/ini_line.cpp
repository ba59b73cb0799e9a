// ini_line.cpp - the INI line reader and the key lookup.
#include "config/user/ini_line.h"

#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

IniLineEnd ReadIniLine(IniSource& source, char* buffer, size_t capacity, IniLine& line) {
  std::FILE* file = source.file;
  line.length = 0;
  buffer[0] = '\0';
  const auto read = [&]() {
    int c = EOF;
    if (file != nullptr) {
      c = std::fgetc(file);
    } else if (static_cast<uint64_t>(source.offset) < source.size) {
      c = static_cast<unsigned char>(source.bytes[source.offset]);
    }
    if (c != EOF) ++source.offset;
    return c;
  };
  const auto ended = [&]() {
    buffer[line.length] = '\0';
    return file != nullptr && std::ferror(file) ? IniLineEnd::kReadError : IniLineEnd::kEndOfFile;
  };

  int c = read();
  while (c == '#') {
    do {
      c = read();
    } while (c != '\n' && c != EOF);
    if (c == EOF) break;
    c = read();
  }
  line.position = source.offset - (c == EOF ? 0 : 1);
  if (c == EOF) return ended();

  const auto store = [&](int ch) {
    if (line.length + 1 < capacity) buffer[line.length++] = static_cast<char>(ch);
  };
  while (c != EOF) {
    if (c == '\n') {
      buffer[line.length] = '\0';
      return IniLineEnd::kComplete;
    }
    if (c == '\r') {
      const int next = read();
      if (next == '\n') {
        buffer[line.length] = '\0';
        return IniLineEnd::kComplete;
      }
      store(c);
      c = next;
      continue;
    }
    store(c);
    c = read();
  }
  return ended();
}

size_t SkipBlanks(const char* text, size_t position) {
  while (IsBlank(text[position])) ++position;
  return position;
}

void CutAtBlank(char* text) {
  for (; *text != '\0'; ++text) {
    if (IsBlank(*text)) {
      *text = '\0';
      return;
    }
  }
}

ptrdiff_t FindKeyValue(const char* line, const char* key, size_t position) {
  if (line[position] == '\0') return -1;
  const size_t key_length = std::strlen(key);
  if (std::strncmp(line + position, key, key_length) != 0) return -1;
  size_t index = SkipBlanks(line, position + key_length);
  if (line[index] != '=') return -1;
  index = SkipBlanks(line, index + 1);
  if (line[index] == '\0') return -1;
  return static_cast<ptrdiff_t>(index);
}

bool IsIniHeader(const char* line, size_t length, size_t* first) {
  if (length == 0) return false;
  *first = SkipBlanks(line, 0);
  return line[*first] == '[' && line[length - 1] == ']';
}
