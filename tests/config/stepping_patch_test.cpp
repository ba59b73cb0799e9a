// stepping_patch_test.cpp - patching a board's MAC address and serial number into an image read
// from a file, including images whose tables cannot be trusted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/image/image_builder.h"
#include "config/stepping/identity_patch.h"
#include "config/test_board.h"
#include "support/capture_console.h"

namespace {

constexpr MacAddress kMac = {0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE};
constexpr char kOutsideStrings[] =
    "ERROR: The string table of the image points outside its string area (bytes 192 to 511)\n";

struct Image {
  std::vector<uint8_t> bytes = std::vector<uint8_t>(kImageBufferSize, 0);
  int32_t length = 0;
};

// An image as the builder makes it, with the given serial and optional blocks.
Image BuiltImage(const char* serial, bool blocks, const char* product = "Prod",
                 const char* interface = "If") {
  TestBoard options;
  options.IdRegister = 0x52300000;
  DeviceSettings& s = options.Settings;
  s.SSPollInterval = 4;
  s.CurrentMacAddress = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
  s.ManufacturerString = "Maker";
  s.ProductString = product;
  if (serial != nullptr) s.CurrentSerialNumber = serial;
  s.InterfaceString = interface;
  if (blocks) {
    s.PMEWUFFEnable = 1;
    s.FilterMaskPatternBytes[3] = 0x7E;
    s.CommonTestBusInPresent = 1;
    s.CommonTestBusIn = 0xA1B2C3D4;
  }
  Image image;
  CaptureConsole console;
  EXPECT_EQ(BuildImage(s, ImageTarget{options.ChipId(), options.EepromSize}, image.bytes.data(),
                       kImageKindEeprom, &options.ImageLength, console),
            0);
  image.length = options.ImageLength;
  return image;
}

struct Patched {
  int result;
  std::string output;
};

Patched Patch(Image& image, const MacAddress* mac, std::optional<std::string> serial,
              int32_t eeprom_size = 512) {
  CaptureConsole console;
  const int result =
      PatchImageIdentity(image.bytes.data(), &image.length, mac, serial, eeprom_size, console);
  return {result, console.TakeOutput()};
}

TEST(PatchImageIdentity, SerialOfTheSameLengthIsOverwrittenInPlace) {
  Image image = BuiltImage("0001", true);
  const Image before = image;
  ASSERT_EQ(Patch(image, &kMac, "00A2").result, 0);
  Image expected = BuiltImage("00A2", true);
  std::copy(kMac.begin(), kMac.end(), expected.bytes.begin() + 1);
  EXPECT_EQ(image.bytes, expected.bytes);
  EXPECT_EQ(image.length, before.length);
}

TEST(PatchImageIdentity, SerialOfAnotherLengthGivesTheImageTheBuilderWouldMake) {
  for (const char* serial : {"12", "0123456789ABCDEF", ""}) {
    Image image = BuiltImage("0001", true);
    ASSERT_EQ(Patch(image, &kMac, serial).result, 0) << serial;
    Image expected = BuiltImage(serial, true);
    std::copy(kMac.begin(), kMac.end(), expected.bytes.begin() + 1);
    EXPECT_EQ(image.bytes, expected.bytes) << serial;
    EXPECT_EQ(image.length, expected.length) << serial;
  }
}

TEST(PatchImageIdentity, SerialAddedToAnImageWithoutOneMovesTheBlocks) {
  Image image = BuiltImage(nullptr, true);
  ASSERT_EQ(Patch(image, nullptr, "00000001").result, 0);
  const Image expected = BuiltImage("00000001", true);
  EXPECT_EQ(image.bytes, expected.bytes);
  EXPECT_EQ(image.length, expected.length);
}

TEST(PatchImageIdentity, WithoutAMacTheImageKeepsItsOwn) {
  Image image = BuiltImage("0001", false);
  ASSERT_EQ(Patch(image, nullptr, "0002").result, 0);
  EXPECT_EQ(std::vector<uint8_t>(image.bytes.begin() + 1, image.bytes.begin() + 7),
            (std::vector<uint8_t>{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
}

TEST(PatchImageIdentity, WithoutASerialOnlyThePairIsCleared) {
  Image image = BuiltImage("0001", false);
  const Image before = image;
  ASSERT_EQ(Patch(image, &kMac, std::nullopt).result, 0);
  EXPECT_EQ(image.bytes[0x29], 0);
  EXPECT_EQ(image.bytes[0x2A], 0);
  EXPECT_EQ(std::vector<uint8_t>(image.bytes.begin() + 0xC0, image.bytes.end()),
            std::vector<uint8_t>(before.bytes.begin() + 0xC0, before.bytes.end()));
}

TEST(PatchImageIdentity, PaddedFileImageKeepsItsLengthAndDropsOnlyPadding) {
  Image image = BuiltImage("0001", true);
  const int32_t content = image.length;
  image.length = 512;  // read from a file saved with -r
  ASSERT_EQ(Patch(image, &kMac, "000000000001").result, 0);
  const Image expected = BuiltImage("000000000001", true);
  EXPECT_EQ(image.length, 512);
  EXPECT_EQ(std::vector<uint8_t>(image.bytes.begin() + 7, image.bytes.end()),
            std::vector<uint8_t>(expected.bytes.begin() + 7, expected.bytes.end()));
  EXPECT_GT(expected.length, content);
}

TEST(PatchImageIdentity, BlocksThatNoLongerFitStopThePatch) {
  // Strings and blocks fill the EEPROM but for 2 bytes; a serial 2 characters longer needs 4.
  const std::string product(126, 'p');
  Image image = BuiltImage("0001", true, product.c_str(), "Interfac");
  ASSERT_EQ(image.length, 510);
  const Patched patched = Patch(image, &kMac, "000001");
  EXPECT_EQ(patched.result, kPatchDoesNotFit);
  EXPECT_EQ(patched.output,
            "ERROR: The optional blocks of the image do not fit behind the new strings (514 "
            "bytes, the EEPROM holds 512)\n");
}

TEST(PatchImageIdentity, StringsThatNoLongerFitStopThePatch) {
  const std::string product(126, 'p');
  Image image = BuiltImage("0001", false, product.c_str());
  const Patched patched = Patch(image, &kMac, std::string(100, '0'));
  EXPECT_EQ(patched.result, kPatchDoesNotFit);
  EXPECT_EQ(patched.output,
            "WARNING: The size of generated binary is greater than EEPROM size(512Bytes)\n");
}

TEST(PatchImageIdentity, SerialPairPointingBeyondTheImageIsRefusedInPlace) {
  Image image;
  image.length = 512;
  image.bytes[0x29] = 10;    // four characters
  image.bytes[0x2A] = 0xFF;  // at word 255: the characters would reach byte 520
  const Patched patched = Patch(image, &kMac, "ABCD");
  EXPECT_EQ(patched.result, kPatchDoesNotFit);
  EXPECT_EQ(patched.output, kOutsideStrings);
  EXPECT_EQ(std::vector<uint8_t>(image.bytes.begin() + 0x100, image.bytes.end()),
            std::vector<uint8_t>(kImageBufferSize - 0x100));
}

TEST(PatchImageIdentity, SerialEndingAtTheLastByteOfTheEepromIsPatchedInPlace) {
  // Four characters from word 251 end at byte 512; from word 252 they would end at 514.
  for (const uint8_t word : {251, 252}) {
    Image image;
    image.length = 512;
    image.bytes[0x29] = 10;
    image.bytes[0x2A] = word;
    const Patched patched = Patch(image, &kMac, "ABCD");
    if (word == 251) {
      EXPECT_EQ(patched.result, 0);
      EXPECT_EQ(std::vector<uint8_t>(image.bytes.begin() + 504, image.bytes.begin() + 512),
                (std::vector<uint8_t>{'A', 0, 'B', 0, 'C', 0, 'D', 0}));
    } else {
      EXPECT_EQ(patched.result, kPatchDoesNotFit);
      EXPECT_EQ(patched.output, kOutsideStrings);
    }
  }
}

TEST(PatchImageIdentity, DescriptorInTheHeadIsRefusedAndTheHeadStaysAsItWas) {
  // A serial pair pointing at word 0x10 (byte 0x20): in place, or through a rebuild when the new
  // serial's length differs; and another string pointing there during a rebuild.
  struct Case {
    uint8_t pair;
    const char* serial;
  };
  for (const Case c : {Case{0x29, "ABCD"}, Case{0x29, "AB"}, Case{0x25, "AB"}}) {
    Image image = BuiltImage("0001", false);
    image.bytes[c.pair] = 10;
    image.bytes[c.pair + 1] = 0x10;
    const std::vector<uint8_t> before = image.bytes;
    const Patched patched = Patch(image, &kMac, c.serial);
    EXPECT_EQ(patched.result, kPatchDoesNotFit) << c.serial;
    EXPECT_EQ(patched.output,
              "ERROR: The string table of the image points outside its string "
              "area (bytes 192 to " +
                  std::to_string(image.length - 1) + ")\n");
    EXPECT_EQ(std::vector<uint8_t>(image.bytes.begin() + 7, image.bytes.end()),
              std::vector<uint8_t>(before.begin() + 7, before.end()));
  }
}

TEST(PatchImageIdentity, NothingIsPatchedPastTheImagesEnd) {
  // A file cut inside its serial descriptor: in place and through a rebuild.
  for (const char* serial : {"0002", "02"}) {
    Image image = BuiltImage("0001", false);
    const int32_t length = image.length;
    image.length = 2 * (image.bytes[0x2A] + 1) + 7;  // the last character's high byte is cut
    const std::vector<uint8_t> before = image.bytes;
    const Patched patched = Patch(image, &kMac, serial);
    EXPECT_EQ(patched.result, kPatchDoesNotFit) << serial;
    EXPECT_EQ(std::vector<uint8_t>(image.bytes.begin() + 7, image.bytes.end()),
              std::vector<uint8_t>(before.begin() + 7, before.end()));
    image.length = length;
    EXPECT_EQ(Patch(image, &kMac, serial).result, 0) << serial;
  }
  Image tiny;
  tiny.length = 6;
  EXPECT_EQ(Patch(tiny, &kMac, std::nullopt).output,
            "ERROR: The image of 6 bytes is too short to hold a MAC address\n");
}

TEST(PatchImageIdentity, StringPairPointingBeyondTheImageIsRefusedOnRebuild) {
  Image image;
  image.length = 512;
  image.bytes[0x25] = 0xFF;  // 126 characters at word 0xF0
  image.bytes[0x26] = 0xF0;
  const Patched patched = Patch(image, &kMac, "01");
  EXPECT_EQ(patched.result, kPatchDoesNotFit);
  EXPECT_EQ(patched.output, kOutsideStrings);
}

TEST(PatchImageIdentity, BlockPointingIntoTheStringsOrBeyondTheImageIsRefused) {
  for (uint8_t word : {0x60, 0xFF}) {
    Image image = BuiltImage("0001", false);
    image.bytes[0x3D] = 20;
    image.bytes[0x3E] = word;
    const Patched patched = Patch(image, &kMac, "01");
    EXPECT_EQ(patched.result, kPatchDoesNotFit) << int{word};
    EXPECT_EQ(patched.output,
              "ERROR: The block table of the image points outside the area after its strings\n");
  }
}

TEST(PatchImageIdentity, ArbitraryTablesNeverReachBeyondTheImage) {
  // Every string length and offset byte: the sanitizer build catches any access outside.
  for (int length = 0; length < 256; length += 3) {
    for (int offset = 0; offset < 256; offset += 5) {
      std::vector<uint8_t> bytes(530, 0x41);
      for (int pair = 0x25; pair < 0x43; pair += 2) {
        bytes[pair] = static_cast<uint8_t>(length);
        bytes[pair + 1] = static_cast<uint8_t>(offset);
      }
      int32_t image_length = 512;
      CaptureConsole console;
      for (const char* serial : {"0123", "01234567"}) {
        PatchImageIdentity(bytes.data(), &image_length, &kMac, std::string(serial), 512, console);
      }
      EXPECT_EQ(bytes[529], 0x41);
    }
  }
}

TEST(PatchImageIdentity, UpperHalfOtpImageIsPatchedAtItsUnbiasedPositions) {
  TestBoard options;
  options.IdRegister = 0x52300000;
  options.Settings.SSPollInterval = 4;
  options.Settings.OtpSignature = 0xF7;
  options.Settings.CurrentSerialNumber = "0001";
  Image image;
  CaptureConsole console;
  ASSERT_EQ(BuildImage(options.Settings, ImageTarget{options.ChipId(), options.EepromSize},
                       image.bytes.data(), kImageKindOtp, &options.ImageLength, console),
            0);
  image.length = options.ImageLength;
  ASSERT_EQ(image.bytes[0x2A], 0xE0);
  ASSERT_EQ(Patch(image, &kMac, "0002").result, 0);
  EXPECT_EQ(std::vector<uint8_t>(image.bytes.begin() + 0xC0, image.bytes.begin() + 0xCA),
            (std::vector<uint8_t>{0x0A, 0x03, '0', 0, '0', 0, '0', 0, '2', 0}));
  ASSERT_EQ(Patch(image, &kMac, "00003").result, 0);
  EXPECT_EQ(image.bytes[0x29], 12);
  EXPECT_EQ(image.bytes[0x2A], 0xE0);
  EXPECT_EQ(image.length, 204);
}

}  // namespace
