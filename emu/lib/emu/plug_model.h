// plug_model.h - an external loopback plug in place of a link partner: the PHY links with itself,
// and PHY registers 16 and 17 show a link at 100 or 1000 full duplex.
#pragma once

#include <cstdint>

#include "emu/adapter_state.h"
#include "emu/link_model.h"

namespace emu {

// The link through the plug, once the link delay has passed. A 1000 Mb/s plug links at the best
// mode the PHY advertises or forces; a 100 Mb/s plug (two pairs) only at 100 full duplex, to
// which a gigabit-only PHY downshifts.
LinkResolution ResolvePlug(const AdapterState& state, uint16_t control, uint16_t advertise,
                           uint16_t gig_control);

// Bit 0x1000 of register 16 (linked at 100 full) or 17 (linked at 1000 full), else 0.
uint32_t LinkedSpeedBits(const AdapterState& state, uint32_t index, int64_t now_ms);

}  // namespace emu
