// board_identity.cpp - one read of the memory a board was programmed in, and the MAC addresses
// its images put there.
#include "nvm/board_identity.h"

#include <cstring>

#include "common/image_buffer.h"
#include "driver/driver_operations.h"
#include "nvm/otp_job.h"

namespace {

constexpr int32_t kMacOffset = 1;  // image byte 1, right after the signature

BoardMacAddress MacAt(const uint8_t* memory, int32_t offset) {
  BoardMacAddress mac{};
  std::memcpy(mac.data(), memory + offset, mac.size());
  return mac;
}

}  // namespace

bool ReadBoardMacAddresses(Driver& driver, bool otp, int32_t size,
                           std::vector<BoardMacAddress>* macs) {
  macs->clear();
  uint8_t memory[kImageBufferSize] = {};
  const auto length = static_cast<uint16_t>(size > kMaxImageBytes ? kMaxImageBytes : size);
  const bool read =
      otp ? OTP_READ_BLOCK(driver, 0, length, memory) : E2P_READ_BLOCK(driver, length, memory);
  if (!read) return false;
  macs->push_back(MacAt(memory, kMacOffset));
  // Image byte 1 of the upper image lies at the upper half's body offset.
  if (otp && memory[0] == kOtpSignatureUpper && length >= kOtpUpperBodyOffset + 6) {
    macs->push_back(MacAt(memory, kOtpUpperBodyOffset));
  }
  return true;
}
