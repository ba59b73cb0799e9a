// exchange.h - raw request blocks against an emulator directory, for the model tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "emu/machine.h"
#include "emu/wire_format.h"
#include "support/request_bytes.h"

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
class RawRequest : public RequestFields<RawRequest> {
 public:
  using RequestFields::RequestFields;
  RawAnswer Send(emu::Machine& machine, uint32_t in_length = emu::kBlockSize) const {
    RawAnswer answer;
    std::memcpy(answer.block, block_, sizeof block_);
    answer.error = machine.Control(emu::kControlCode, answer.block, in_length, answer.block,
                                   emu::kBlockSize, &answer.returned);
    answer.status = emu::Load32(answer.block + emu::kFieldAdapterStatus);
    return answer;
  }
};
