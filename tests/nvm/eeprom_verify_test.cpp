// eeprom_verify_test.cpp - the read-back comparison after programming, on a scripted device: one
// block read of the image's length, every byte of it compared, and the three results.
#include <gtest/gtest.h>

#include "nvm/eeprom_program.h"
#include "support/capture_console.h"
#include "support/one_byte_differences.h"
#include "support/scripted_device.h"

namespace {

std::vector<uint8_t> Pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
  return bytes;
}

class EepromVerify : public ::testing::Test {
 protected:
  // Verifies |image| against an EEPROM whose first bytes are |device|.
  int Verify(const std::vector<uint8_t>& image, const std::vector<uint8_t>& device) {
    const auto length = static_cast<uint16_t>(image.size());
    device_.Expect(ExpectedRequest(emu::kE2pReadBlock).Position(0, length), {.data = device});
    return VerifyEeprom(driver_, image.data(), length);
  }

  ScriptedDevice device_;
  CaptureConsole console_;
  Driver driver_{device_, console_, RequestWords{}};
};

TEST_F(EepromVerify, EveryByteOfTheImageIsCompared) {
  for (size_t length : {512u, 100u, 1u}) {
    SCOPED_TRACE(length);
    const std::vector<uint8_t> image = Pattern(length);
    ExpectOneByteDifferencesCaught(
        image, 0, 1, [&](const std::vector<uint8_t>& device) { return Verify(image, device); });
  }
}

TEST_F(EepromVerify, DifferencePrintsItsLineWithoutTheErrorMarker) {
  const std::vector<uint8_t> image = Pattern(64);
  EXPECT_EQ(Verify(image, WithByteChanged(image, 63)), 1);
  EXPECT_EQ(console_.output(), "Failed to verify eeprom contents\n");
}

TEST_F(EepromVerify, BytesPastTheImageAreNotCompared) {
  std::vector<uint8_t> device = Pattern(100);
  device.resize(512, 0xEE);
  EXPECT_EQ(Verify(Pattern(100), device), 0);
  EXPECT_EQ(console_.output(), "");
}

TEST_F(EepromVerify, UnreadableDeviceAndOverlongImage) {
  const std::vector<uint8_t> image = Pattern(16);
  device_.Expect(ExpectedRequest(emu::kE2pReadBlock).Position(0, 16), {.status = 1});
  EXPECT_EQ(VerifyEeprom(driver_, image.data(), 16), 5);
  EXPECT_EQ(console_.TakeOutput(),
            "ERROR: E2P_READ_BLOCK failed!    status:Access failed\nFailed to read eeprom\n");
  EXPECT_EQ(VerifyEeprom(driver_, image.data(), 513), 6);
  EXPECT_EQ(console_.TakeOutput(), "Invalid eeprom size\n");
}

}  // namespace
