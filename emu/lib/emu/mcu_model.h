// mcu_model.h - the PHY microcontroller's host access: a control register choosing the memory
// space and auto-increment, an address register, a write-data and a read-data register.
#pragma once

#include <cstdint>

#include "emu/adapter_state.h"

namespace emu {

constexpr uint32_t kMcuControlIndex = 0x40010;
constexpr uint32_t kMcuAddressIndex = 0x40011;
constexpr uint32_t kMcuWriteDataIndex = 0x40012;
constexpr uint32_t kMcuReadDataIndex = 0x40013;
// Program memory is the SRAM the firmware is loaded into: Prog address a is XDATA kProgBase + a.
constexpr uint32_t kMcuProgBase = 0x5000;

bool IsMcuIndex(uint32_t index);
uint32_t ReadMcu(McuState& mcu, uint32_t index, bool advance);
void WriteMcu(McuState& mcu, uint32_t index, uint32_t value);

}  // namespace emu
