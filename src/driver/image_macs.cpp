// image_macs.cpp - the MAC addresses of a memory's images, at the offsets the image forms give.
#include "driver/image_macs.h"

#include "common/image_buffer.h"
#include "driver/driver_operations.h"

bool ReadImageMacAddresses(Driver& driver, bool otp, int32_t length, std::vector<MacAddress>* macs,
                           uint8_t* signature) {
  macs->clear();
  uint8_t memory[kImageBufferSize] = {};
  const auto read_length = static_cast<uint16_t>(length > kMaxImageBytes ? kMaxImageBytes : length);
  const bool read = otp ? OTP_READ_BLOCK(driver, 0, read_length, memory)
                        : E2P_READ_BLOCK(driver, read_length, memory);
  if (!read) return false;
  if (signature != nullptr) *signature = memory[0];
  macs->push_back(MacAddressAt(memory + kMacAddressOffset));
  if (otp && memory[0] == kOtpSignatureUpper && read_length >= kOtpBothMacsEnd) {
    macs->push_back(MacAddressAt(memory + kOtpUpperImageBase + kMacAddressOffset));
  }
  return true;
}
