// mcu_model_test.cpp - the emulated PHY microcontroller: the memory spaces of the control
// values, the reset through XDATA 0xFFFF, and program memory following the overlay table.
#include <gtest/gtest.h>

#include "emu/adapter_state.h"
#include "emu/mcu_model.h"

namespace {

using emu::kMcuAddressIndex;
using emu::kMcuControlIndex;
using emu::kMcuReadDataIndex;
using emu::kMcuWriteDataIndex;

// Overlay table B, high byte first, as the firmware download writes it.
constexpr uint16_t kTableB[20] = {0x8800, 0x8881, 0x8902, 0x8983, 0x0004, 0x0085, 0x0106,
                                  0x0187, 0x0208, 0x0289, 0x030A, 0x038B, 0x040C, 0x048D,
                                  0x050E, 0x058F, 0x0610, 0x0691, 0x0712, 0x0793};

void WriteBytes(emu::McuState& mcu, uint32_t control, uint32_t address,
                std::initializer_list<uint8_t> bytes) {
  emu::WriteMcu(mcu, kMcuControlIndex, control);
  emu::WriteMcu(mcu, kMcuAddressIndex, address);
  for (uint8_t byte : bytes) emu::WriteMcu(mcu, kMcuWriteDataIndex, byte);
}

void WriteTableB(emu::McuState& mcu) {
  emu::WriteMcu(mcu, kMcuControlIndex, 0x84);
  emu::WriteMcu(mcu, kMcuAddressIndex, 0x0840);
  for (uint16_t entry : kTableB) {
    emu::WriteMcu(mcu, kMcuWriteDataIndex, entry >> 8);
    emu::WriteMcu(mcu, kMcuWriteDataIndex, entry & 0xFF);
  }
}

TEST(McuModel, ProgramMemoryShowsTheImageOnlyUnderTableB) {
  emu::McuState mcu;
  WriteBytes(mcu, 0x84, 0x5000, {0x11, 0x22});
  const uint8_t rom = emu::PeekProg(mcu, 0);
  EXPECT_NE(rom, 0x11);
  EXPECT_EQ(emu::OverlayInPlace(mcu), emu::OverlayTable::kNone);

  WriteTableB(mcu);
  EXPECT_EQ(emu::OverlayInPlace(mcu), emu::OverlayTable::kB);
  emu::WriteMcu(mcu, kMcuControlIndex, 0x86);
  emu::WriteMcu(mcu, kMcuAddressIndex, 0);
  EXPECT_EQ(emu::ReadMcu(mcu, kMcuReadDataIndex, true), 0x11u);
  EXPECT_EQ(emu::ReadMcu(mcu, kMcuReadDataIndex, true), 0x22u);
  // The host cannot write program memory.
  emu::WriteMcu(mcu, kMcuAddressIndex, 0);
  emu::WriteMcu(mcu, kMcuWriteDataIndex, 0x99);
  EXPECT_EQ(emu::PeekProg(mcu, 0), 0x11);

  // A reset clears the overlay table: program memory is the ROM again.
  WriteBytes(mcu, 0x80, 0xFFFF, {1});
  EXPECT_EQ(emu::OverlayInPlace(mcu), emu::OverlayTable::kNone);
  EXPECT_EQ(emu::PeekProg(mcu, 0), rom);
  EXPECT_EQ(mcu.xdata[0xFFFF], 0);
}

TEST(McuModel, SingleAccessesStayAndHoldingStopsTheMcu) {
  emu::McuState mcu;
  EXPECT_TRUE(emu::McuRunning(mcu));
  WriteBytes(mcu, 0x81, 0xF9, {0x10, 0x23});  // no auto-increment: the second write replaces
  EXPECT_EQ(mcu.sfr[0xF9], 0x23);
  EXPECT_EQ(mcu.sfr[0xFA], 0);
  EXPECT_FALSE(emu::McuRunning(mcu));
  emu::WriteMcu(mcu, kMcuControlIndex, 0);
  EXPECT_TRUE(emu::McuRunning(mcu));
  // Released, the data registers reach nothing.
  emu::WriteMcu(mcu, kMcuAddressIndex, 0x0100);
  emu::WriteMcu(mcu, kMcuWriteDataIndex, 0x55);
  EXPECT_EQ(emu::ReadMcu(mcu, kMcuReadDataIndex, true), 0u);
  EXPECT_TRUE(mcu.xdata.empty());
}

}  // namespace
