// mcu_model.h - the PHY microcontroller's host access: a control register choosing the memory
// space and auto-increment, an address register, a write-data and a read-data register; and
// what the microcontroller shows of itself (running or held, the overlay table in place).
#pragma once

#include <cstddef>
#include <cstdint>

#include "emu/adapter_state.h"

namespace emu {

constexpr uint32_t kMcuControlIndex = 0x40010;
constexpr uint32_t kMcuAddressIndex = 0x40011;
constexpr uint32_t kMcuWriteDataIndex = 0x40012;
constexpr uint32_t kMcuReadDataIndex = 0x40013;
// The SRAM a firmware image is loaded into: XDATA from kMcuProgBase, kMcuProgSize bytes. Program
// memory shows it from address 0 once overlay table B maps it there; otherwise (and above it)
// program memory is the ROM.
constexpr uint32_t kMcuProgBase = 0x5000;
constexpr size_t kMcuProgSize = 0x4000;

bool IsMcuIndex(uint32_t index);
uint32_t ReadMcu(McuState& mcu, uint32_t index, bool advance);
void WriteMcu(McuState& mcu, uint32_t index, uint32_t value);

// The SRAM overlay table at XDATA 0x0840 (20 entries, high byte first): all zero, the table
// written before a download (A), the one written after it (B), or anything else.
enum class OverlayTable { kNone, kA, kB, kOther };
OverlayTable OverlayInPlace(const McuState& mcu);
const char* OverlayTableName(OverlayTable table);

// The microcontroller runs while the host does not hold it (access enable clear).
bool McuRunning(const McuState& mcu);
// Program memory byte |address| as the microcontroller sees it now.
uint8_t PeekProg(const McuState& mcu, uint32_t address);

}  // namespace emu
