// otp_state.h - what the emulated OTP's signature byte means for its next write, as `show`
// states it.
#pragma once

#include <cstdint>
#include <string>

namespace emu {

// |otp| holds the 512 OTP bytes. For example "0xF3, lower image ends at 240, next image from
// 0x101" or "0xF7, full".
std::string DescribeOtp(const uint8_t* otp);

}  // namespace emu
