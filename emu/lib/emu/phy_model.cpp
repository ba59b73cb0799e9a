// phy_model.cpp - PHY register reads and writes, with the link, the cable test and the
// microcontroller behind them.
#include "emu/phy_model.h"

#include "emu/link_model.h"
#include "emu/mcu_model.h"
#include "emu/phy_registers.h"
#include "emu/plug_model.h"

namespace emu {
namespace {

constexpr uint32_t kCableStart = 0x8000;
constexpr uint32_t kCablePairMask = 0x3000;
// With no cable partner a pair shows open at about ten metres: (8 * 35 - 176) / 10.
constexpr uint8_t kOpenPairCount = 35;

uint32_t WidthMask(uint32_t index) { return PhyIndexIsWide(index) ? 0xFFFFFFFFu : 0xFFFFu; }

uint32_t CableTestValue(const AdapterState& state) {
  const uint32_t value = state.cable_register;
  if (!(value & kCableStart)) return value;
  const CableResult& result = state.cable[(value & kCablePairMask) >> 12];
  if (result.stuck) return value;
  uint8_t status = result.status;
  uint8_t data = result.data;
  if (!result.set) {
    const bool cabled = state.link.partner.kind != PartnerKind::kNone;
    status = cabled ? 0 : 1;
    data = cabled ? 0 : kOpenPairCount;
  }
  return (value & kCablePairMask) | static_cast<uint32_t>(status & 3) << 8 | data;
}

// The modelled clause-22 registers; false for those kept as written.
bool ModelledValue(const AdapterState& state, uint32_t index, int64_t now_ms, uint32_t* value) {
  switch (index) {
    case kPhyControl: {
      uint16_t control = StoredPhy(state, kPhyControl);
      const LinkResolution link = ResolveLink(state, now_ms);
      // A parallel-detected link shows its speed and half duplex in the control word.
      if (link.parallel_detect) {
        control &= ~(kBmcSpeedMask | kBmcFullDuplex);
        if (link.speed == 100) control |= kBmcSpeedLow;
      }
      *value = control;
      return true;
    }
    case kPhyStatus: {
      const LinkResolution link = ResolveLink(state, now_ms);
      const bool negotiating = StoredPhy(state, kPhyControl) & kBmcAnEnable;
      uint32_t status = kBmsAbilities;
      if (negotiating && link.an_complete) status |= kBmsAnComplete;
      if (link.up && !state.link_runtime.latched_low) status |= kBmsLinkStatus;
      *value = status;
      return true;
    }
    case kPhyId1:
      *value = kPhyIdHigh;
      return true;
    case kPhyId2:
      *value = kPhyIdLow;
      return true;
    case kPhyPartnerAbility:
      *value = ResolveLink(state, now_ms).partner_ability;
      return true;
    case kPhyExpansion:
      *value = ResolveLink(state, now_ms).expansion;
      return true;
    case kPhyGigStatus:
      *value = ResolveLink(state, now_ms).gig_status;
      return true;
    case kPhyExtendedStatus:
      *value = kExtendedStatus1000TFd;
      return true;
    case kPhyCableTest:
      *value = CableTestValue(state);
      return true;
    default:
      return false;
  }
}

bool ReadOnlyRegister(uint32_t index) {
  switch (index) {
    case kPhyStatus:
    case kPhyId1:
    case kPhyId2:
    case kPhyPartnerAbility:
    case kPhyExpansion:
    case kPhyGigStatus:
    case kPhyExtendedStatus:
      return true;
    default:
      return false;
  }
}

void WriteControl(AdapterState& state, uint32_t value, int64_t now_ms) {
  if (value & kBmcReset) {
    ResetPhy(state);
    RestartLink(state, now_ms);
    return;
  }
  const uint16_t old_control = StoredPhy(state, kPhyControl);
  const uint16_t control = static_cast<uint16_t>(value & ~(kBmcReset | kBmcRestartAn));
  state.phy[kPhyControl] = control;
  const bool restart = (value & kBmcRestartAn) && (control & kBmcAnEnable);
  if (restart || ((old_control ^ control) & kBmcLinkBits)) {
    RestartLink(state, now_ms);
  } else {
    TrackLink(state, now_ms);
  }
}

}  // namespace

void ResetPhy(AdapterState& state) {
  state.phy[kPhyControl] = kResetControl;
  state.phy[kPhyAdvertise] = kResetAdvertise;
  state.phy[kPhyGigControl] = kResetGigControl;
}

uint16_t StoredPhy(const AdapterState& state, uint32_t index) {
  const auto found = state.phy.find(index);
  if (found != state.phy.end()) return static_cast<uint16_t>(found->second);
  switch (index) {
    case kPhyControl:
      return kResetControl;
    case kPhyAdvertise:
      return kResetAdvertise;
    case kPhyGigControl:
      return kResetGigControl;
    default:
      return 0;
  }
}

bool PhyIndexIsWide(uint32_t index) {
  switch (index >> 29) {
    case 0b001:
    case 0b100:
    case 0b110:
    case 0b111:
      return true;
    default:
      return false;
  }
}

uint32_t PeekPhy(const AdapterState& state, uint32_t index, int64_t now_ms) {
  const auto pin = state.phy_pins.find(index);
  if (pin != state.phy_pins.end()) return pin->second;
  uint32_t value = 0;
  if (index < kPhyClause22Count && ModelledValue(state, index, now_ms, &value)) return value;
  if (IsMcuIndex(index)) {
    McuState mcu = state.mcu;
    return ReadMcu(mcu, index, false);
  }
  const auto found = state.phy.find(index);
  const uint32_t stored = found == state.phy.end() ? 0 : found->second & WidthMask(index);
  return stored | LinkedSpeedBits(state, index, now_ms);
}

uint32_t ReadPhy(AdapterState& state, uint32_t index, int64_t now_ms) {
  if (IsMcuIndex(index)) {
    const uint32_t value = ReadMcu(state.mcu, index, true);
    return state.phy_pins.count(index) != 0 ? state.phy_pins.at(index) : value;
  }
  if (index == kPhyCableTest && state.cable_polls_left > 0 && state.phy_pins.count(index) == 0) {
    --state.cable_polls_left;
    return state.cable_register;
  }
  TrackLink(state, now_ms);
  const uint32_t value = PeekPhy(state, index, now_ms);
  if (index == kPhyStatus) state.link_runtime.latched_low = false;
  return value;
}

void WritePhy(AdapterState& state, uint32_t index, uint32_t value, int64_t now_ms) {
  if (IsMcuIndex(index)) {
    WriteMcu(state.mcu, index, value);
    return;
  }
  value &= WidthMask(index);
  TrackLink(state, now_ms);
  if (index == kPhyControl) {
    WriteControl(state, value, now_ms);
    return;
  }
  if (index == kPhyCableTest) {
    state.cable_register = value;
    state.cable_polls_left = 0;
    if (value & kCableStart) {
      state.cable_started_ms = now_ms;
      state.cable_polls_left = state.cable[(value & kCablePairMask) >> 12].busy_polls;
    }
    return;
  }
  if (index < kPhyClause22Count && ReadOnlyRegister(index)) return;
  state.phy[index] = value;
  TrackLink(state, now_ms);  // a forced link follows the 1000BASE-T control register at once
}

}  // namespace emu
