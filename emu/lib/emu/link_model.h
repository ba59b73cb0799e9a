// link_model.h - the cable and the link partner: what auto-negotiation, parallel detection or a
// forced setting at both ends resolves to, when the link comes up, and how a drop is latched.
#pragma once

#include <cstdint>
#include <string>

#include "emu/adapter_state.h"

namespace emu {

struct LinkResolution {
  bool up = false;
  bool an_complete = false;      // shown only while the PHY itself negotiates
  bool parallel_detect = false;  // negotiating PHY linked to a forced partner
  int speed = 0;                 // 10, 100 or 1000 when up
  bool full_duplex = false;
  uint16_t partner_ability = 0;  // register 5
  uint16_t expansion = 0;        // register 6
  uint16_t gig_status = 0;       // register 10
};

// The link as it stands at |now_ms| for the PHY registers and partner in |state|.
LinkResolution ResolveLink(const AdapterState& state, int64_t now_ms);
// Notes a link that dropped since the last look, for the latching-low status bit.
void TrackLink(AdapterState& state, int64_t now_ms);
// Takes the link down and starts negotiation (or forced link-up) again. Call TrackLink before
// changing what the link depends on, so a drop is latched against the link as it was.
void RestartLink(AdapterState& state, int64_t now_ms);

// SET_LINK_MODE: programs the PHY for link-mode code 0 (everything) or 1 to 5 and restarts the
// link. Returns the driver status.
uint32_t ApplyLinkMode(AdapterState& state, uint32_t code, int64_t now_ms);
// SET_LINK_STATE: 0 down, 1 up. Returns the driver status.
uint32_t ApplyLinkState(AdapterState& state, uint32_t link_state, int64_t now_ms);

// Partner descriptions of the tool and the state file: "none", "autoneg 1000fd,100fd[,master]",
// "forced 100fd[,slave]".
std::string FormatPartner(const LinkPartner& partner);
bool ParsePartner(const std::string& text, LinkPartner* partner);
// A comma-separated ability list with an optional master/slave word; false on an unknown word.
bool ParseAbilities(const std::string& text, uint32_t* abilities, MasterSlave* master_slave);
std::string FormatAbilities(uint32_t abilities, MasterSlave master_slave);

}  // namespace emu
