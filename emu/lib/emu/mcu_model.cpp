// mcu_model.cpp - byte access to the PHY microcontroller's XDATA, SFR and program memories.
#include "emu/mcu_model.h"

namespace emu {
namespace {

constexpr uint32_t kAccessEnable = 0x80;

enum class Space { kXdata, kSfr, kProg };

struct ControlMode {
  uint32_t value;
  Space space;
  bool auto_increment;
};

constexpr ControlMode kModes[] = {
    {.value = 0x80, .space = Space::kXdata, .auto_increment = false},
    {.value = 0x81, .space = Space::kSfr, .auto_increment = false},
    {.value = 0x84, .space = Space::kXdata, .auto_increment = true},
    {.value = 0x86, .space = Space::kProg, .auto_increment = true},
};

const ControlMode* CurrentMode(const McuState& mcu) {
  if (!(mcu.control & kAccessEnable)) return nullptr;
  for (const ControlMode& mode : kModes) {
    if (mode.value == mcu.control) return &mode;
  }
  return nullptr;
}

uint8_t* Location(McuState& mcu, Space space) {
  switch (space) {
    case Space::kSfr:
      return &mcu.sfr[mcu.address & 0xFF];
    case Space::kProg:
      return &mcu.Xdata()[(kMcuProgBase + mcu.address) & 0xFFFF];
    case Space::kXdata:
      break;
  }
  return &mcu.Xdata()[mcu.address & 0xFFFF];
}

void Advance(McuState& mcu, const ControlMode& mode) {
  if (mode.auto_increment) mcu.address = (mcu.address + 1) & 0xFFFF;
}

}  // namespace

bool IsMcuIndex(uint32_t index) { return index >= kMcuControlIndex && index <= kMcuReadDataIndex; }

uint32_t ReadMcu(McuState& mcu, uint32_t index, bool advance) {
  switch (index) {
    case kMcuControlIndex:
      return mcu.control;
    case kMcuAddressIndex:
      return mcu.address;
    case kMcuReadDataIndex: {
      const ControlMode* mode = CurrentMode(mcu);
      if (mode == nullptr) return 0;
      const uint8_t byte = *Location(mcu, mode->space);
      if (advance) Advance(mcu, *mode);
      return byte;
    }
    default:
      return 0;
  }
}

void WriteMcu(McuState& mcu, uint32_t index, uint32_t value) {
  switch (index) {
    case kMcuControlIndex:
      mcu.control = value & 0xFF;
      break;
    case kMcuAddressIndex:
      mcu.address = value & 0xFFFF;
      break;
    case kMcuWriteDataIndex: {
      const ControlMode* mode = CurrentMode(mcu);
      if (mode == nullptr) break;
      *Location(mcu, mode->space) = static_cast<uint8_t>(value);
      Advance(mcu, *mode);
      break;
    }
    default:
      break;
  }
}

}  // namespace emu
