// request_handler.h - the driver's answer to one request block for one adapter: the command's
// input checks, its brackets, its effect on the adapter and the data and status it answers.
#pragma once

#include <cstdint>

#include "emu/adapter_state.h"

namespace emu {

struct HandlerResult {
  // Nonzero: the control call fails with this system error and nothing is answered.
  uint32_t error = 0;
  uint32_t status = kStatusOk;
  uint32_t returned = kHeaderSize;   // bytes of the block the answer fills
  bool nonvolatile_changed = false;  // EEPROM or OTP written
};

// Handles the request in |block| (kBlockSize bytes, of which |in_length| came from the caller)
// at |now_ms| on |state|'s clock. The answer and status are written into |block|.
HandlerResult HandleRequest(AdapterState& state, uint8_t* block, uint32_t in_length,
                            int64_t now_ms);

// Controller registers: the value a write leaves, given the value before it.
uint32_t RegisterAfterWrite(uint32_t address, uint32_t old_value, uint32_t written);
bool RegisterAddressValid(uint32_t address);

}  // namespace emu
