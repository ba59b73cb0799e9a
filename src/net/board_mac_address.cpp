// board_mac_address.cpp - the MAC address of the configuration image the controller runs with.
#include "net/board_mac_address.h"

#include <algorithm>

#include "driver/driver_operations.h"
#include "format/image_layout.h"
#include "format/mac_text.h"
#include "format/otp_form.h"

namespace {

// The OTP up to the last MAC address byte of an upper-half image: one bracketed read sees the
// signature and both places the address can be.
constexpr int kOtpBytesRead = kOtpUpperImageBase + kMacAddressOffset + kMacAddressBytes;
constexpr int kEepromBytesRead = kMacAddressOffset + kMacAddressBytes;

}  // namespace

bool ReadBoardMacAddress(Driver& driver, bool* known, MacAddressBytes* mac) {
  *known = false;
  uint8_t otp[kOtpBytesRead] = {};
  if (!OTP_READ_BLOCK(driver, 0, kOtpBytesRead, otp)) return false;
  const uint8_t* image = nullptr;
  if (otp[0] == kOtpSignatureLower) {
    image = otp;
  } else if (otp[0] == kOtpSignatureUpper) {
    image = otp + kOtpUpperImageBase;
  }
  uint8_t eeprom[kEepromBytesRead] = {};
  if (image == nullptr) {
    if (!E2P_READ_BLOCK(driver, kEepromBytesRead, eeprom)) return false;
    if (eeprom[0] == kEepromImageSignature) image = eeprom;
  }
  if (image == nullptr) return true;
  std::copy_n(image + kMacAddressOffset, kMacAddressBytes, mac->begin());
  *known = true;
  return true;
}

const MacAddressBytes* ControllerMac::Get() {
  if (!read_) {
    read_ = true;
    if (!ReadBoardMacAddress(driver_, &known_, &mac_)) known_ = false;
  }
  return known_ ? &mac_ : nullptr;
}
