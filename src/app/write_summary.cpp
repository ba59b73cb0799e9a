// write_summary.cpp - what a write names of itself.
#include "app/write_summary.h"

#include <algorithm>
#include <cstdio>

#include "format/board_record.h"
#include "format/image_layout.h"
#include "format/otp_form.h"

namespace {

bool IsFamilyImage(const ImageBuffer& image) {
  if (image.length < kImageHeadSize) return false;
  const uint8_t signature = image.bytes[0];
  return signature == kEepromImageSignature || signature == kOtpSignatureLower ||
         signature == kOtpSignatureUpper;
}

std::string IdentityPart(const WriteFacts& facts, const DeviceSettings& settings) {
  const bool ini_gives = settings.CurrentMacAddressPresent != 0 || settings.CurrentSerialNumber;
  const BoardIdentity& identity = *facts.identity;
  if ((!ini_gives && !IsFamilyImage(*facts.image)) ||
      (identity.mac_address.empty() && identity.serial_number.empty())) {
    return "no identity";
  }
  const std::string mac =
      identity.mac_address.empty() ? "no MAC address" : "MAC address " + identity.mac_address;
  const std::string serial = identity.serial_number.empty()
                                 ? "no serial number"
                                 : "serial number " + identity.serial_number;
  return mac + ", " + serial;
}

}  // namespace

std::string DescribeWrite(const WriteFacts& facts, const DeviceSettings& settings) {
  const ImageBuffer& image = *facts.image;
  const auto length = static_cast<size_t>(std::clamp<int32_t>(image.length, 0, kImageBufferSize));
  char tail[64];
  std::snprintf(tail, sizeof tail, ", %d bytes, CRC-32 0x%08X", image.length,
                Crc32(image.bytes, length));
  return "adapter " + std::to_string(facts.adapter) + " (" + facts.chip->name +
         (facts.otp ? ") OTP, " : ") EEPROM, ") + IdentityPart(facts, settings) + tail;
}
