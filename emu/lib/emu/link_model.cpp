// link_model.cpp - link resolution between the PHY and its partner, link timing and latching.
#include "emu/link_model.h"

#include <sstream>

#include "emu/phy_model.h"
#include "emu/phy_registers.h"
#include "emu/plug_model.h"

namespace emu {
namespace {

// The 10/100 modes, best first, as auto-negotiation picks the highest common denominator.
struct TenHundredMode {
  uint32_t ability;
  uint16_t advertise_bit;
  int speed;
  bool full_duplex;
  const char* name;
};

constexpr TenHundredMode kTenHundredModes[] = {
    {.ability = kAbility100Fd,
     .advertise_bit = kAdv100Fd,
     .speed = 100,
     .full_duplex = true,
     .name = "100fd"},
    {.ability = kAbility100Hd,
     .advertise_bit = kAdv100Hd,
     .speed = 100,
     .full_duplex = false,
     .name = "100hd"},
    {.ability = kAbility10Fd,
     .advertise_bit = kAdv10Fd,
     .speed = 10,
     .full_duplex = true,
     .name = "10fd"},
    {.ability = kAbility10Hd,
     .advertise_bit = kAdv10Hd,
     .speed = 10,
     .full_duplex = false,
     .name = "10hd"},
};

// What a driver programs for each link-mode code: the advertisement, and for the forcing policy
// the control word (0 when the mode can only be advertised).
struct LinkModeSetting {
  uint32_t code;
  uint16_t advertise;       // 10/100 bits of register 4
  bool advertise_1000;      // register 9 bit 0x0200
  uint16_t forced_control;  // register 0 under LinkModePolicy::kForce
};

constexpr LinkModeSetting kLinkModes[] = {
    {.code = 0, .advertise = kAdvAll10100, .advertise_1000 = true, .forced_control = 0},
    {.code = 1, .advertise = kAdv10Hd, .advertise_1000 = false, .forced_control = 0x0000},
    {.code = 2, .advertise = kAdv10Fd, .advertise_1000 = false, .forced_control = kBmcFullDuplex},
    {.code = 3, .advertise = kAdv100Hd, .advertise_1000 = false, .forced_control = kBmcSpeedLow},
    {.code = 4,
     .advertise = kAdv100Fd,
     .advertise_1000 = false,
     .forced_control = kBmcSpeedLow | kBmcFullDuplex},
    {.code = 5, .advertise = 0, .advertise_1000 = true, .forced_control = 0},
};

int ForcedPartnerSpeed(const LinkPartner& partner) {
  if (partner.abilities & kAbility1000Fd) return 1000;
  if (partner.abilities & (kAbility100Fd | kAbility100Hd)) return 100;
  return 10;
}

bool PartnerHasSpeed(uint32_t abilities, int speed) {
  if (speed == 100) return (abilities & (kAbility100Fd | kAbility100Hd)) != 0;
  if (speed == 10) return (abilities & (kAbility10Fd | kAbility10Hd)) != 0;
  return (abilities & kAbility1000Fd) != 0;
}

uint16_t PartnerAbilityWord(uint32_t abilities) {
  uint16_t word = kAdvSelector | kLpaAcknowledge;
  for (const TenHundredMode& mode : kTenHundredModes) {
    if (abilities & mode.ability) word |= mode.advertise_bit;
  }
  return word;
}

void SetUp(LinkResolution* link, int speed, bool full_duplex) {
  link->up = true;
  link->speed = speed;
  link->full_duplex = full_duplex;
}

// Both ends negotiate.
LinkResolution Negotiate(const LinkPartner& partner, uint16_t advertise, uint16_t gig_control) {
  LinkResolution link;
  link.an_complete = true;
  link.partner_ability = PartnerAbilityWord(partner.abilities);
  link.expansion = 0x0001;  // partner is auto-negotiation able
  if (partner.abilities & kAbility1000Fd) link.gig_status |= kGigStatusPartner1000Fd;

  if ((gig_control & kGigAdv1000Fd) && (partner.abilities & kAbility1000Fd)) {
    const bool local_manual = gig_control & kGigManualMs;
    const bool local_master_wanted = gig_control & kGigManualMaster;
    if (local_manual && partner.master_slave != MasterSlave::kAuto &&
        local_master_wanted == (partner.master_slave == MasterSlave::kMaster)) {
      link.gig_status |= kGigStatusMsFault;  // both manually the same: no link
      return link;
    }
    // With both ends automatic the seeds decide; this PHY wins, so runs are repeatable.
    const bool master =
        local_manual ? local_master_wanted : partner.master_slave != MasterSlave::kMaster;
    link.gig_status |= kGigStatusReceiversOk | (master ? kGigStatusMaster : 0);
    SetUp(&link, 1000, true);
    return link;
  }
  for (const TenHundredMode& mode : kTenHundredModes) {
    if ((advertise & mode.advertise_bit) && (partner.abilities & mode.ability)) {
      SetUp(&link, mode.speed, mode.full_duplex);
      break;
    }
  }
  return link;
}

// This PHY negotiates, the partner is forced: parallel detection finds 10 or 100 half duplex.
LinkResolution DetectParallel(const LinkPartner& partner, uint16_t advertise) {
  LinkResolution link;
  const int speed = ForcedPartnerSpeed(partner);
  const uint16_t bits = speed == 100 ? (kAdv100Fd | kAdv100Hd) : (kAdv10Fd | kAdv10Hd);
  if (speed == 1000 || (advertise & bits) == 0) return link;
  link.an_complete = true;
  link.parallel_detect = true;
  SetUp(&link, speed, false);
  return link;
}

// This PHY is forced.
LinkResolution LinkForced(const LinkPartner& partner, uint16_t control, uint16_t gig_control) {
  LinkResolution link;
  const int speed_bits = ((control & kBmcSpeedHigh) ? 2 : 0) | ((control & kBmcSpeedLow) ? 1 : 0);
  if (speed_bits == 3) return link;
  const int speed = speed_bits == 2 ? 1000 : speed_bits == 1 ? 100 : 10;
  const bool full_duplex = control & kBmcFullDuplex;
  if (partner.kind == PartnerKind::kAutoneg) {
    // The partner detects 10 or 100 in parallel; 1000BASE-T cannot come up without negotiation.
    if (speed != 1000 && PartnerHasSpeed(partner.abilities, speed))
      SetUp(&link, speed, full_duplex);
    return link;
  }
  if (ForcedPartnerSpeed(partner) != speed) return link;
  if (speed == 1000) {
    if (!(gig_control & kGigManualMs)) return link;
    const bool master = gig_control & kGigManualMaster;
    if (partner.master_slave != MasterSlave::kAuto &&
        master == (partner.master_slave == MasterSlave::kMaster)) {
      return link;
    }
    link.gig_status = kGigStatusReceiversOk | (master ? kGigStatusMaster : 0);
  }
  SetUp(&link, speed, full_duplex);
  return link;
}

}  // namespace

LinkResolution ResolveLink(const AdapterState& state, int64_t now_ms) {
  const LinkPartner& partner = state.link.partner;
  const uint16_t control = StoredPhy(state, kPhyControl);
  const bool plugged = state.network.plug_speed != 0;
  if ((partner.kind == PartnerKind::kNone && !plugged) || !state.link_runtime.admin_up ||
      (control & (kBmcPowerDown | kBmcLoopback))) {
    return LinkResolution{};
  }
  if (now_ms - state.link_runtime.started_ms < static_cast<int64_t>(state.link.delay_ms)) {
    return LinkResolution{};
  }
  if (plugged) {
    return ResolvePlug(state, control, state.link_runtime.advertise,
                       (control & kBmcAnEnable) ? state.link_runtime.gig_control
                                                : StoredPhy(state, kPhyGigControl));
  }
  if (!(control & kBmcAnEnable)) {
    return LinkForced(partner, control, StoredPhy(state, kPhyGigControl));
  }
  const LinkRuntime& runtime = state.link_runtime;
  if (partner.kind == PartnerKind::kAutoneg) {
    return Negotiate(partner, runtime.advertise, runtime.gig_control);
  }
  return DetectParallel(partner, runtime.advertise);
}

void TrackLink(AdapterState& state, int64_t now_ms) {
  const bool up = ResolveLink(state, now_ms).up;
  if (state.link_runtime.was_up && !up) state.link_runtime.latched_low = true;
  state.link_runtime.was_up = up;
}

void RestartLink(AdapterState& state, int64_t now_ms) {
  if (state.link_runtime.was_up) state.link_runtime.latched_low = true;
  state.link_runtime.was_up = false;
  state.link_runtime.started_ms = now_ms;
  state.link_runtime.advertise = StoredPhy(state, kPhyAdvertise);
  state.link_runtime.gig_control = StoredPhy(state, kPhyGigControl);
}

uint32_t ApplyLinkMode(AdapterState& state, uint32_t code, int64_t now_ms) {
  const LinkModeSetting* setting = nullptr;
  for (const LinkModeSetting& entry : kLinkModes) {
    if (entry.code == code) setting = &entry;
  }
  if (setting == nullptr) return kStatusInvalid;
  TrackLink(state, now_ms);
  uint16_t gig_control = StoredPhy(state, kPhyGigControl) & ~(kGigAdv1000Fd | kGigAdv1000Hd);
  if (setting->advertise_1000) gig_control |= kGigAdv1000Fd;
  state.phy[kPhyGigControl] = gig_control;
  state.phy[kPhyAdvertise] =
      static_cast<uint16_t>((StoredPhy(state, kPhyAdvertise) & ~kAdvAll10100) | setting->advertise);
  const bool force = state.link.policy == LinkModePolicy::kForce && code >= 1 && code <= 4;
  state.phy[kPhyControl] = force ? setting->forced_control : (kResetControl & ~kBmcRestartAn);
  RestartLink(state, now_ms);
  return kStatusOk;
}

uint32_t ApplyLinkState(AdapterState& state, uint32_t link_state, int64_t now_ms) {
  if (link_state > 1) return kStatusInvalid;
  TrackLink(state, now_ms);
  if (link_state == 0) {
    state.link_runtime.admin_up = false;
    TrackLink(state, now_ms);
  } else {
    state.link_runtime.admin_up = true;
    RestartLink(state, now_ms);
  }
  return kStatusOk;
}

std::string FormatAbilities(uint32_t abilities, MasterSlave master_slave) {
  std::string text;
  if (abilities & kAbility1000Fd) text = "1000fd";
  for (const TenHundredMode& mode : kTenHundredModes) {
    if (!(abilities & mode.ability)) continue;
    if (!text.empty()) text += ',';
    text += mode.name;
  }
  if (master_slave != MasterSlave::kAuto) {
    if (!text.empty()) text += ',';
    text += master_slave == MasterSlave::kMaster ? "master" : "slave";
  }
  return text;
}

bool ParseAbilities(const std::string& text, uint32_t* abilities, MasterSlave* master_slave) {
  *abilities = 0;
  *master_slave = MasterSlave::kAuto;
  std::stringstream words(text);
  std::string word;
  while (std::getline(words, word, ',')) {
    if (word == "1000fd") {
      *abilities |= kAbility1000Fd;
    } else if (word == "master") {
      *master_slave = MasterSlave::kMaster;
    } else if (word == "slave") {
      *master_slave = MasterSlave::kSlave;
    } else {
      bool known = false;
      for (const TenHundredMode& mode : kTenHundredModes) {
        if (word == mode.name) {
          *abilities |= mode.ability;
          known = true;
        }
      }
      if (!known) return false;
    }
  }
  return true;
}

std::string FormatPartner(const LinkPartner& partner) {
  switch (partner.kind) {
    case PartnerKind::kNone:
      return "none";
    case PartnerKind::kAutoneg:
      return "autoneg " + FormatAbilities(partner.abilities, partner.master_slave);
    case PartnerKind::kForced:
      return "forced " + FormatAbilities(partner.abilities, partner.master_slave);
  }
  return "none";
}

bool ParsePartner(const std::string& text, LinkPartner* partner) {
  LinkPartner parsed;
  if (text == "none") {
    *partner = parsed;
    return true;
  }
  const size_t blank = text.find(' ');
  if (blank == std::string::npos) return false;
  const std::string kind = text.substr(0, blank);
  if (kind == "autoneg") {
    parsed.kind = PartnerKind::kAutoneg;
  } else if (kind == "forced") {
    parsed.kind = PartnerKind::kForced;
  } else {
    return false;
  }
  if (!ParseAbilities(text.substr(blank + 1), &parsed.abilities, &parsed.master_slave)) {
    return false;
  }
  if (parsed.abilities == 0) return false;
  // A forced partner runs exactly one mode.
  if (parsed.kind == PartnerKind::kForced && (parsed.abilities & (parsed.abilities - 1)) != 0) {
    return false;
  }
  *partner = parsed;
  return true;
}

}  // namespace emu
