// request_bytes.h - request blocks built field by field from the emulator's own layout of the
// driver interface (not the utility's), for scripted expectations and raw exchanges alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "emu/wire_format.h"

// |Self| is the builder that derives from this, so that each setter returns it for chaining.
template <typename Self>
class RequestFields {
 public:
  // Adapter 0 travels with its own signature; any other adapter in the adapter word.
  explicit RequestFields(uint32_t command, uint32_t adapter = 0) {
    if (adapter == 0) {
      emu::Store32(block_ + emu::kFieldSignature, emu::kSignatureAdapterZero);
    } else {
      emu::Store32(block_ + emu::kFieldSignature, emu::kSignatureIndexed);
      emu::Store32(block_ + emu::kFieldAdapterStatus, adapter);
    }
    emu::Store32(block_ + emu::kFieldCommand, command);
  }
  Self& Signature(uint32_t signature) {
    emu::Store32(block_ + emu::kFieldSignature, signature);
    return Me();
  }
  Self& AdapterWord(uint32_t value) {
    emu::Store32(block_ + emu::kFieldAdapterStatus, value);
    return Me();
  }
  Self& Parameter(uint32_t value) {
    emu::Store32(block_ + emu::kFieldParameter, value);
    return Me();
  }
  Self& Position(uint16_t position, uint16_t count) {
    emu::Store16(block_ + emu::kFieldParameter, position);
    emu::Store16(block_ + emu::kFieldCount, count);
    return Me();
  }
  Self& Data32(uint32_t value, size_t offset = 0) {
    emu::Store32(block_ + emu::kFieldData + offset, value);
    return Covered(offset + 4);
  }
  Self& Data16(uint16_t value, size_t offset = 0) {
    emu::Store16(block_ + emu::kFieldData + offset, value);
    return Covered(offset + 2);
  }
  Self& Bytes(const uint8_t* bytes, size_t count, size_t offset = 0) {
    std::memcpy(block_ + emu::kFieldData + offset, bytes, count);
    return Covered(offset + count);
  }
  Self& Bytes(const std::vector<uint8_t>& bytes, size_t offset = 0) {
    return Bytes(bytes.data(), bytes.size(), offset);
  }

  const uint8_t* block() const { return block_; }
  // The data bytes set, counted from the start of the data field.
  size_t data_set() const { return data_set_; }

 protected:
  uint8_t block_[emu::kBlockSize] = {};

 private:
  Self& Me() { return static_cast<Self&>(*this); }
  Self& Covered(size_t end) {
    if (end > data_set_) data_set_ = end;
    return Me();
  }
  size_t data_set_ = 0;
};
