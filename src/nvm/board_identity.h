// board_identity.h - the MAC addresses a board's memory holds before it is programmed again: a
// board that a failed run wrote keeps the identity it was given.
#pragma once

#include <cstdint>
#include <vector>

#include "driver/driver.h"
#include "format/mac_text.h"

// Reads the EEPROM's image MAC address (bytes 1 to 6), or the OTP's: that of its lower image
// and, when the signature says an upper image was written, that of the upper one too. |size| is
// the memory's size. False when the read failed (its message printed); |macs| is then empty.
bool ReadBoardMacAddresses(Driver& driver, bool otp, int32_t size, std::vector<MacAddress>* macs);
