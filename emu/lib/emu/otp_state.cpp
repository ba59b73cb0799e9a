// otp_state.cpp - the OTP's state judged from its bytes: blank, one lower image (and whether it
// leaves the upper half free), two images, switched off, or an unknown signature.
#include "emu/otp_state.h"

#include <cstdio>

namespace emu {

namespace {

// The offset-table pairs (length, word offset) of a lower image, in the order the utility
// judges them; a later pair wins only with a strictly greater offset.
constexpr int kTablePairs[] = {0x46, 0x3F, 0x41, 0x3D, 0x2D, 0x2B, 0x29, 0x27,
                               0x25, 0x3B, 0x39, 0x37, 0x35, 0x33, 0x31, 0x2F};
constexpr int kHalf = 256;

int LowerImageEnd(const uint8_t* otp) {
  int best = kTablePairs[0];
  for (int pair : kTablePairs) {
    if (otp[pair + 1] > otp[best + 1]) best = pair;
  }
  return 2 * otp[best + 1] + otp[best];
}

}  // namespace

std::string DescribeOtp(const uint8_t* otp) {
  char text[96];
  const unsigned signature = otp[0];
  switch (signature) {
    case 0x00:
      return "0x00, blank, next image from 0";
    case 0xF7:
      return "0xF7, full";
    case 0xFF:
      return "0xFF, off";
    case 0xF3: {
      const int end = LowerImageEnd(otp);
      std::snprintf(text, sizeof text, "0xF3, lower image ends at %d, %s", end,
                    end <= kHalf ? "next image from 0x101" : "no further image");
      return text;
    }
    default:
      std::snprintf(text, sizeof text, "0x%02X, invalid", signature);
      return text;
  }
}

}  // namespace emu
