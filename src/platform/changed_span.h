// changed_span.h - where two contents of one length differ, so that a file can be rewritten in
// place with the one write that changes only those bytes.
#pragma once

#include <cstddef>

struct ChangedSpan {
  size_t first = 0;  // the first byte that differs
  size_t end = 0;    // one past the last; equal to |first| when nothing differs
};

inline ChangedSpan FindChangedSpan(const char* old_bytes, const char* new_bytes, size_t size) {
  ChangedSpan span;
  while (span.first < size && old_bytes[span.first] == new_bytes[span.first]) ++span.first;
  span.end = size;
  while (span.end > span.first && old_bytes[span.end - 1] == new_bytes[span.end - 1]) --span.end;
  return span;
}
