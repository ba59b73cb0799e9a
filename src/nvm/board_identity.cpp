// board_identity.cpp - one read of the memory a board was programmed in, and the MAC addresses
// its images put there.
#include "nvm/board_identity.h"

#include "common/image_buffer.h"
#include "driver/driver_operations.h"
#include "format/image_layout.h"
#include "nvm/otp_job.h"

bool ReadBoardMacAddresses(Driver& driver, bool otp, int32_t size, std::vector<MacAddress>* macs) {
  macs->clear();
  uint8_t memory[kImageBufferSize] = {};
  const auto length = static_cast<uint16_t>(size > kMaxImageBytes ? kMaxImageBytes : size);
  const bool read =
      otp ? OTP_READ_BLOCK(driver, 0, length, memory) : E2P_READ_BLOCK(driver, length, memory);
  if (!read) return false;
  macs->push_back(MacAddressAt(memory + kMacAddressOffset));
  // Image byte 1 of the upper image lies at the upper half's body offset.
  const int32_t upper_mac = kOtpUpperImageBase + kMacAddressOffset;
  if (otp && memory[0] == kOtpSignatureUpper &&
      length >= upper_mac + static_cast<int32_t>(kMacAddressBytes)) {
    macs->push_back(MacAddressAt(memory + upper_mac));
  }
  return true;
}
