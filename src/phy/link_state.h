// link_state.h - reading PHY registers and turning them into one link-state code, the link-up
// test of the link-mode, ping and loopback flows.
#pragma once

#include <cstdint>

#include "common/phy_register_map.h"
#include "driver/driver.h"

// Reads PHY register |index| into |*value| (low 16 bits of the answer). Returns READ_PHY's
// success flag; on failure READ_PHY has printed its message and |*value| is 0.
bool LanPhyReadWord(Driver& driver, uint32_t index, uint16_t* value);

// Reads the PHY's registers afresh and returns the link-state code. Prints a message for every
// failure and undecodable combination, none for a link that is simply down.
int LanPhyGetLinkState(Driver& driver);
