// byte_source.h - bytes read in order, a block at a time, so that a long file is worked through
// without being held whole; a text in memory passes for such a file.
#pragma once

#include <cstddef>
#include <string_view>

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Sets |*block| to the next bytes, valid until the next call; empty at the end. False when the
  // bytes cannot be read.
  virtual bool Next(std::string_view* block) = 0;
};

// A text in memory, handed over in blocks of |block_bytes| (all at once by default); it must
// outlive the source.
class TextSource : public ByteSource {
 public:
  explicit TextSource(std::string_view text, size_t block_bytes = std::string_view::npos)
      : text_(text), block_bytes_(block_bytes) {}
  bool Next(std::string_view* block) override {
    *block = text_.substr(0, block_bytes_);
    text_.remove_prefix(block->size());
    return true;
  }

 private:
  std::string_view text_;
  size_t block_bytes_;
};
