// link_state.h - reading PHY registers and turning them into one link-state code, the link-up
// test of the link-mode, ping and loopback flows.
#pragma once

#include <cstdint>

#include "driver/driver.h"

// Link-state codes. A code above 0 means the link is up; the -l link-mode codes 1 to 5 use the
// same numbers.
constexpr int kLinkDown = -1;  // down, a failed read, or registers that cannot be decoded
constexpr int kLinkNegotiating = 0;
constexpr int kLink10Half = 1;
constexpr int kLink10Full = 2;
constexpr int kLink100Half = 3;
constexpr int kLink100Full = 4;
constexpr int kLink1000FullMaster = 5;
constexpr int kLink1000FullSlave = 6;

// Reads PHY register |index| into |*value| (low 16 bits of the answer). Returns READ_PHY's
// success flag; on failure READ_PHY has printed its message and |*value| is 0.
bool LanPhyReadWord(Driver& driver, uint32_t index, uint16_t* value);

// Reads the PHY's registers afresh and returns the link-state code. Prints a message for every
// failure and undecodable combination, none for a link that is simply down.
int LanPhyGetLinkState(Driver& driver);
