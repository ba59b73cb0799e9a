// otp_board.h - the board of the OTP end-to-end tests: the example board without its product
// string, so that its 252-byte image also fits the upper half of the OTP.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/run_program.h"

constexpr char kOtpExampleIni[] = QNT_SOURCE_DIR "/examples/board.ini";
constexpr int kOtpBoardImageLength = 252;

// The example board file with |from| replaced by |to| (|from| must occur).
inline std::string OtpExampleWith(const std::string& from, const std::string& to) {
  std::string text = ReadFileText(kOtpExampleIni);
  const size_t at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// The board, with [OtpConfig] asking for |signature| when it is not empty.
inline std::string OtpBoardIni(const std::string& signature = "") {
  std::string text = OtpExampleWith("ProductEnable = 1", "ProductEnable = 0");
  if (!signature.empty()) text += "[OtpConfig]\nOtpSignature = " + signature + "\n";
  return text;
}

inline std::vector<uint8_t> BytesOf(const std::string& text) { return {text.begin(), text.end()}; }
