// image_macs.h - the MAC addresses that the images in a board's EEPROM or OTP hold, read from the
// board in one request. The network tests want the address the controller runs with; a run that
// programs a board wants every address the memory holds before it writes it again.
#pragma once

#include <cstdint>
#include <vector>

#include "driver/driver.h"
#include "format/image_layout.h"
#include "format/mac_text.h"
#include "format/otp_form.h"

// A read of the OTP up to here sees its signature and the MAC addresses of both its images.
constexpr int32_t kOtpBothMacsEnd = kOtpUpperImageBase + kMacAddressOffset + kMacAddressBytes;

// Reads the first |length| bytes (at most kMaxImageBytes) of the EEPROM or, with |otp|, the OTP.
// |macs| gets image bytes 1 to 6 and, when the OTP's signature says an upper-half image was
// written and |length| reaches it, that image's address too; |*signature| (when given) gets the
// memory's byte 0. False when the read failed (its message printed); |macs| is then empty.
bool ReadImageMacAddresses(Driver& driver, bool otp, int32_t length, std::vector<MacAddress>* macs,
                           uint8_t* signature = nullptr);
