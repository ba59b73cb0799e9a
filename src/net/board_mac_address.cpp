// board_mac_address.cpp - the MAC address of the configuration image the controller runs with.
#include "net/board_mac_address.h"

#include <vector>

#include "driver/image_macs.h"

namespace {

constexpr int kEepromBytesRead = kMacAddressOffset + kMacAddressBytes;

}  // namespace

bool ReadBoardMacAddress(Driver& driver, bool* known, MacAddress* mac) {
  *known = false;
  std::vector<MacAddress> macs;
  uint8_t signature = 0;
  if (!ReadImageMacAddresses(driver, true, kOtpBothMacsEnd, &macs, &signature)) return false;
  if (signature != kOtpSignatureLower && signature != kOtpSignatureUpper) {
    if (!ReadImageMacAddresses(driver, false, kEepromBytesRead, &macs, &signature)) return false;
    if (signature != kEepromImageSignature) return true;
  }
  // An upper-half image's address comes after the stale one of the lower image.
  *mac = macs.back();
  *known = true;
  return true;
}

const MacAddress* ControllerMac::Get() {
  if (!read_) {
    read_ = true;
    if (!ReadBoardMacAddress(driver_, &known_, &mac_)) known_ = false;
  }
  return known_ ? &mac_ : nullptr;
}
