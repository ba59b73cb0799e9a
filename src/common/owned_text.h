// owned_text.h - a heap copy of a text that may be absent, owned by the record that holds it.
#pragma once

#include <cstdlib>
#include <cstring>

class OwnedText {
 public:
  OwnedText() = default;
  OwnedText(const OwnedText&) = delete;
  OwnedText& operator=(const OwnedText&) = delete;
  ~OwnedText() { std::free(text_); }

  // Replaces the text with a copy of |text|. Returns false, keeping the old text, when the copy
  // cannot be allocated.
  bool Assign(const char* text) {
    const size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(size));
    if (copy == nullptr) return false;
    std::memcpy(copy, text, size);
    std::free(text_);
    text_ = copy;
    return true;
  }
  bool IsSet() const { return text_ != nullptr; }
  // The text, or null when none was assigned.
  const char* get() const { return text_; }

 private:
  char* text_ = nullptr;
};
