// exchange.h - raw request blocks against an emulator directory, for the model tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "emu/machine.h"
#include "emu/wire_format.h"

struct RawAnswer {
  uint32_t error = 0;     // system error of the call, 0 when it succeeded
  uint32_t status = 0;    // the status word
  uint32_t returned = 0;  // returned-bytes count
  uint8_t block[emu::kBlockSize] = {};

  uint32_t Word(size_t data_offset = 0) const {
    return emu::Load32(block + emu::kFieldData + data_offset);
  }
  uint16_t Half(size_t data_offset = 0) const {
    return emu::Load16(block + emu::kFieldData + data_offset);
  }
};

// One request block under construction; Send exchanges it with |machine|.
class RawRequest {
 public:
  RawRequest(uint32_t command, uint32_t adapter = 0) {
    if (adapter == 0) {
      emu::Store32(block_ + emu::kFieldSignature, emu::kSignatureAdapterZero);
    } else {
      emu::Store32(block_ + emu::kFieldSignature, emu::kSignatureIndexed);
      emu::Store32(block_ + emu::kFieldAdapterStatus, adapter);
    }
    emu::Store32(block_ + emu::kFieldCommand, command);
  }
  RawRequest& Signature(uint32_t signature) {
    emu::Store32(block_ + emu::kFieldSignature, signature);
    return *this;
  }
  RawRequest& Parameter(uint32_t value) {
    emu::Store32(block_ + emu::kFieldParameter, value);
    return *this;
  }
  RawRequest& Position(uint16_t position, uint16_t count) {
    emu::Store16(block_ + emu::kFieldParameter, position);
    emu::Store16(block_ + emu::kFieldCount, count);
    return *this;
  }
  RawRequest& Data32(uint32_t value, size_t offset = 0) {
    emu::Store32(block_ + emu::kFieldData + offset, value);
    return *this;
  }
  RawRequest& Bytes(const uint8_t* bytes, size_t count) {
    std::memcpy(block_ + emu::kFieldData, bytes, count);
    return *this;
  }
  RawAnswer Send(emu::Machine& machine, uint32_t in_length = emu::kBlockSize) const {
    RawAnswer answer;
    std::memcpy(answer.block, block_, sizeof block_);
    answer.error = machine.Control(emu::kControlCode, answer.block, in_length, answer.block,
                                   emu::kBlockSize, &answer.returned);
    answer.status = emu::Load32(answer.block + emu::kFieldAdapterStatus);
    return answer;
  }

 private:
  uint8_t block_[emu::kBlockSize] = {};
};
