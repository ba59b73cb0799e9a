// phy_model.h - the Ethernet PHY's register file as READ_PHY and WRITE_PHY reach it: clause-22
// registers with the link shown live, the cable-test register, the microcontroller's access
// registers, and any other index kept as written.
#pragma once

#include <cstdint>

#include "emu/adapter_state.h"

namespace emu {

// The reset values of the control, advertisement and 1000BASE-T control registers.
void ResetPhy(AdapterState& state);
// A clause-22 register as last written (its reset value when never written).
uint16_t StoredPhy(const AdapterState& state, uint32_t index);

// Whether the register at |index| is 32 bits wide: bits 31 to 29 of the index are 001, 100, 110
// or 111, the same combinations for which the utility writes four bytes.
bool PhyIndexIsWide(uint32_t index);

// A read as the driver does it: a drop of the link latched in the status register is reported
// once and cleared; the microcontroller's read-data register moves on in auto-increment mode.
// A pinned register (AdapterState::phy_pins) shows its pinned value, side effects unchanged.
uint32_t ReadPhy(AdapterState& state, uint32_t index, int64_t now_ms);
// The same value without side effects, for inspection.
uint32_t PeekPhy(const AdapterState& state, uint32_t index, int64_t now_ms);
// |value| as it reached the driver (a 16-bit write has the upper half clear).
void WritePhy(AdapterState& state, uint32_t index, uint32_t value, int64_t now_ms);

}  // namespace emu
