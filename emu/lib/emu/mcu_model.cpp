// mcu_model.cpp - byte access to the PHY microcontroller's XDATA, SFR and program memories, the
// reset through XDATA 0xFFFF and the overlay that maps the loaded image into program memory.
#include "emu/mcu_model.h"

namespace emu {
namespace {

constexpr uint32_t kAccessEnable = 0x80;
constexpr uint32_t kResetAddress = 0xFFFF;  // MCU_XDATA_DEV_CTRL; bit 0 resets the MCU
constexpr uint8_t kResetBit = 0x01;
constexpr uint32_t kOverlayBase = 0x0840;
constexpr int kOverlayEntries = 20;
constexpr uint32_t kRomMap1 = 0xF9;
constexpr uint32_t kRomMap2 = 0xFA;

constexpr uint16_t kTableA[kOverlayEntries] = {
    0x8800, 0x8881, 0x8902, 0x8983, 0x8A04, 0x8A85, 0x8B06, 0x8B87, 0x8C08, 0x8C89,
    0x8D0A, 0x8D8B, 0x8E0C, 0x8E8D, 0x8F0E, 0x8F8F, 0x9010, 0x9091, 0x9112, 0x9193,
};
constexpr uint16_t kTableB[kOverlayEntries] = {
    0x8800, 0x8881, 0x8902, 0x8983, 0x0004, 0x0085, 0x0106, 0x0187, 0x0208, 0x0289,
    0x030A, 0x038B, 0x040C, 0x048D, 0x050E, 0x058F, 0x0610, 0x0691, 0x0712, 0x0793,
};

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

uint8_t XdataByte(const McuState& mcu, uint32_t address) {
  return mcu.xdata.empty() ? 0 : mcu.xdata[address & 0xFFFF];
}

// The mask ROM: a fixed pattern that no test image is expected to reproduce.
uint8_t RomByte(uint32_t address) {
  return static_cast<uint8_t>((address & 0xFF) ^ (address >> 8) ^ 0xA5);
}

bool TableMatches(const McuState& mcu, const uint16_t (&table)[kOverlayEntries]) {
  for (int entry = 0; entry < kOverlayEntries; ++entry) {
    const uint32_t address = kOverlayBase + 2 * entry;
    const uint16_t value =
        static_cast<uint16_t>(XdataByte(mcu, address) << 8 | XdataByte(mcu, address + 1));
    if (value != table[entry]) return false;
  }
  return true;
}

// A reset stops the microcontroller's use of the loaded image: the overlay table and the ROM
// maps go back to zero.
void ResetMcu(McuState& mcu) {
  if (!mcu.xdata.empty()) {
    for (uint32_t i = 0; i < 2 * kOverlayEntries; ++i) mcu.xdata[kOverlayBase + i] = 0;
  }
  mcu.sfr[kRomMap1] = 0;
  mcu.sfr[kRomMap2] = 0;
}

uint8_t ReadSpace(const McuState& mcu, Space space) {
  switch (space) {
    case Space::kSfr:
      return mcu.sfr[mcu.address & 0xFF];
    case Space::kProg:
      return PeekProg(mcu, mcu.address);
    case Space::kXdata:
      break;
  }
  return XdataByte(mcu, mcu.address);
}

void WriteSpace(McuState& mcu, Space space, uint8_t byte) {
  switch (space) {
    case Space::kSfr:
      mcu.sfr[mcu.address & 0xFF] = byte;
      return;
    case Space::kProg:
      return;  // program memory is read-only to the host
    case Space::kXdata:
      break;
  }
  if (mcu.address == kResetAddress) {
    // The reset bit clears itself.
    if (byte & kResetBit) ResetMcu(mcu);
    return;
  }
  mcu.Xdata()[mcu.address & 0xFFFF] = byte;
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
      const uint8_t byte = ReadSpace(mcu, mode->space);
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
      WriteSpace(mcu, mode->space, static_cast<uint8_t>(value));
      Advance(mcu, *mode);
      break;
    }
    default:
      break;
  }
}

OverlayTable OverlayInPlace(const McuState& mcu) {
  if (TableMatches(mcu, kTableB)) return OverlayTable::kB;
  if (TableMatches(mcu, kTableA)) return OverlayTable::kA;
  for (uint32_t i = 0; i < 2 * kOverlayEntries; ++i) {
    if (XdataByte(mcu, kOverlayBase + i) != 0) return OverlayTable::kOther;
  }
  return OverlayTable::kNone;
}

const char* OverlayTableName(OverlayTable table) {
  switch (table) {
    case OverlayTable::kA:
      return "A";
    case OverlayTable::kB:
      return "B";
    case OverlayTable::kOther:
      return "other";
    case OverlayTable::kNone:
      break;
  }
  return "none";
}

bool McuRunning(const McuState& mcu) { return !(mcu.control & kAccessEnable); }

uint8_t PeekProg(const McuState& mcu, uint32_t address) {
  address &= 0xFFFF;
  if (address < kMcuProgSize && OverlayInPlace(mcu) == OverlayTable::kB) {
    return XdataByte(mcu, kMcuProgBase + address);
  }
  return RomByte(address);
}

}  // namespace emu
