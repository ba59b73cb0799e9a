// plug_model.cpp - the PHY linked with itself through an external loopback plug.
#include "emu/plug_model.h"

#include "emu/phy_registers.h"

namespace emu {
namespace {

constexpr uint32_t kPhyLinked100Full = 16;
constexpr uint32_t kPhyLinked1000Full = 17;
constexpr uint32_t kLinkedBit = 0x1000;

LinkResolution Linked(int speed, bool full_duplex, uint16_t advertise) {
  LinkResolution link;
  link.up = true;
  link.speed = speed;
  link.full_duplex = full_duplex;
  link.an_complete = true;
  link.partner_ability = advertise;  // the PHY hears its own advertisement
  link.expansion = 0x0001;
  if (speed == 1000) link.gig_status = kGigStatusReceiversOk | kGigStatusMaster;
  return link;
}

}  // namespace

LinkResolution ResolvePlug(const AdapterState& state, uint16_t control, uint16_t advertise,
                           uint16_t gig_control) {
  const uint32_t plug = state.network.plug_speed;
  if (!(control & kBmcAnEnable)) {
    const bool high = control & kBmcSpeedHigh;
    const bool low = control & kBmcSpeedLow;
    const int speed = high && !low ? 1000 : (low && !high ? 100 : (!high && !low ? 10 : 0));
    if (speed == 0 || static_cast<uint32_t>(speed) > plug) return LinkResolution{};
    LinkResolution link = Linked(speed, control & kBmcFullDuplex, 0);
    link.an_complete = false;
    return link;
  }
  const bool gigabit = gig_control & kGigAdv1000Fd;
  if (plug == 1000 && gigabit) return Linked(1000, true, advertise);
  if ((advertise & kAdv100Fd) || gigabit) return Linked(100, true, advertise);
  if (advertise & kAdv100Hd) return Linked(100, false, advertise);
  if (advertise & kAdv10Fd) return Linked(10, true, advertise);
  if (advertise & kAdv10Hd) return Linked(10, false, advertise);
  return LinkResolution{};
}

uint32_t LinkedSpeedBits(const AdapterState& state, uint32_t index, int64_t now_ms) {
  if (index != kPhyLinked100Full && index != kPhyLinked1000Full) return 0;
  const LinkResolution link = ResolveLink(state, now_ms);
  if (!link.up || !link.full_duplex) return 0;
  const int speed = index == kPhyLinked100Full ? 100 : 1000;
  return link.speed == speed ? kLinkedBit : 0;
}

}  // namespace emu
