// board_mac_address.h - the MAC address a controller runs with, read from the board itself, so
// that the network tests can tell its network adapter from those of other controllers.
#pragma once

#include "driver/driver.h"
#include "format/mac_text.h"

// The controller takes its configuration from the OTP while the OTP holds an image (its signature
// is 0xF3 or 0xF7) and from the EEPROM otherwise; the MAC address is that image's bytes 1 to 6.
// Returns false when a request failed (it printed why); otherwise |*known| says whether either
// memory holds an image, and |*mac| is its address.
bool ReadBoardMacAddress(Driver& driver, bool* known, MacAddress* mac);

// The board's MAC address, read at the first call that needs it and kept for the rest of the run.
class ControllerMac {
 public:
  explicit ControllerMac(Driver& driver) : driver_(driver) {}
  // Null when the board holds no image or could not be read.
  const MacAddress* Get();

 private:
  Driver& driver_;
  bool read_ = false;
  bool known_ = false;
  MacAddress mac_{};
};
