// image_checks_test.cpp - what the image builder refuses, and the limits it accepts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/image/image_builder.h"
#include "config/test_board.h"
#include "support/capture_console.h"

namespace {

TestBoard& ValidBoard(TestBoard& options) {
  options.IdRegister = 0x52310007;
  options.Settings.SSPollInterval = 4;
  options.Settings.HSMaxPower = 500;
  return options;
}

struct Outcome {
  int result;
  int32_t length;
  std::string output;
  std::vector<uint8_t> image;
};

Outcome BuildEeprom(TestBoard& options) {
  CaptureConsole console;
  std::vector<uint8_t> image(kImageBufferSize, 0);
  const int result =
      BuildEepromImage(options.Settings, ImageTarget{options.ChipId(), options.EepromSize},
                       image.data(), &options.ImageLength, console);
  return {result, options.ImageLength, console.TakeOutput(), image};
}

TEST(ImageChecks, SsPollIntervalMustBeOneToSixteen) {
  struct Case {
    int32_t interval;
    int result;
    const char* output;
  };
  const Case cases[] = {
      {0, -1, "ERROR: Super speed interrupt polling interval cannot be 0.\n"},
      {1, 0, ""},
      {16, 0, ""},
      {17, -1, "ERROR: Super speed interrupt polling interval cannot exceed 16.\n"},
  };
  for (const Case& c : cases) {
    TestBoard options;
    ValidBoard(options).Settings.SSPollInterval = c.interval;
    const Outcome outcome = BuildEeprom(options);
    EXPECT_EQ(outcome.result, c.result) << c.interval;
    EXPECT_EQ(outcome.output, c.output) << c.interval;
  }
}

TEST(ImageChecks, SsMaxPowerIsZeroOrEightTo896) {
  struct Case {
    int32_t power;
    int result;
    const char* output;
    uint8_t power_byte;
  };
  const Case cases[] = {
      {0, 0, "", 0},
      {8, 0, "", 1},
      {896, 0, "", 112},
      {7, -1, "ERROR: SSMaxPower cannot be less than 8mA\n", 0},
      {897, -1, "ERROR: SSMaxPower exceed 896mA\n", 0},
  };
  for (const Case& c : cases) {
    TestBoard options;
    ValidBoard(options).Settings.SSMaxPower = c.power;
    const Outcome outcome = BuildEeprom(options);
    EXPECT_EQ(outcome.result, c.result) << c.power;
    EXPECT_EQ(outcome.output, c.output) << c.power;
    if (c.result == 0) {
      EXPECT_EQ(outcome.image[0x92], c.power_byte) << c.power;
    }
  }
}

TEST(ImageChecks, UnknownChipIsRefusedBeforeAnythingIsBuilt) {
  TestBoard options;
  ValidBoard(options).IdRegister = 0x52320000;
  const Outcome outcome = BuildEeprom(options);
  EXPECT_EQ(outcome.result, -1);
  EXPECT_EQ(outcome.output, "ERROR: Invalid chip\n");
  EXPECT_EQ(outcome.image, std::vector<uint8_t>(kImageBufferSize));
}

TEST(ImageChecks, EveryChipOfTheFamilyIsAccepted) {
  for (uint32_t id : {0x52300000u, 0x5231FFFFu, 0x523F0001u}) {
    TestBoard options;
    ValidBoard(options).IdRegister = id;
    EXPECT_EQ(BuildEeprom(options).result, 0) << std::hex << id;
  }
}

TEST(ImageChecks, BcdDeviceKeepsOnlyItsLowByteShiftedUp) {
  TestBoard options;
  ValidBoard(options).Settings.BcdDevice = 0x0001;
  EXPECT_EQ(BuildEeprom(options).image[0x84], 0x00);
  EXPECT_EQ(BuildEeprom(options).image[0x85], 0x01);
  options.Settings.BcdDevice = 0x0100;
  EXPECT_EQ(BuildEeprom(options).image[0x84], 0x00);
  EXPECT_EQ(BuildEeprom(options).image[0x85], 0x00);
}

// Five strings of 31 characters fill the 160 words from 96 to 255 exactly.
void FillStringArea(DeviceSettings& s, int extra) {
  const std::string text(31, 'x');
  s.ManufacturerString = text;
  s.ProductString = text;
  s.CurrentSerialNumber = text;
  s.ConfigurationString = text;
  s.InterfaceString = text + std::string(static_cast<size_t>(extra), 'y');
}

TEST(ImageChecks, StringAreaOfExactly160WordsFillsTheEeprom) {
  TestBoard options;
  FillStringArea(ValidBoard(options).Settings, 0);
  const Outcome outcome = BuildEeprom(options);
  EXPECT_EQ(outcome.result, 0) << outcome.output;
  EXPECT_EQ(outcome.length, 512);
  EXPECT_EQ(outcome.image[0x2E], 0xE0);  // interface string at word 224
}

TEST(ImageChecks, OneWordMoreThanTheStringAreaIsRefused) {
  TestBoard options;
  FillStringArea(ValidBoard(options).Settings, 1);
  const Outcome outcome = BuildEeprom(options);
  EXPECT_EQ(outcome.result, -1);
  EXPECT_EQ(outcome.output,
            "WARNING: The size of generated binary is greater than EEPROM size(512Bytes)\n");
  EXPECT_EQ(std::vector<uint8_t>(outcome.image.begin() + 512, outcome.image.end()),
            std::vector<uint8_t>(kImageBufferSize - 512));
}

TEST(ImageChecks, FullStringAreaLeavesNoRoomForABlock) {
  TestBoard options;
  FillStringArea(ValidBoard(options).Settings, 0);
  options.Settings.CommonTestBusInPresent = 1;
  const Outcome outcome = BuildEeprom(options);
  EXPECT_EQ(outcome.result, -1);
  EXPECT_EQ(outcome.output,
            "ERROR: Eeprom content (516 bytes) is larger than the actual size (512 bytes) of the "
            "EEPROM\nERROR: Probably you can reduce the strings sizes and try.\n");
}

TEST(ImageChecks, ABlockEndingExactlyAtTheEndFits) {
  TestBoard options;
  FillStringArea(ValidBoard(options).Settings, 0);
  options.Settings.InterfaceString = std::string(29, 'x');  // 4 bytes short of full
  options.Settings.CommonTestBusInPresent = 1;
  const Outcome outcome = BuildEeprom(options);
  EXPECT_EQ(outcome.result, 0) << outcome.output;
  EXPECT_EQ(outcome.length, 512);
  EXPECT_EQ(outcome.image[0x42], 254);
}

TEST(ImageChecks, SmallerEepromSizeBoundsTheStrings) {
  TestBoard options;
  ValidBoard(options).EepromSize = 256;
  options.Settings.ManufacturerString = std::string(31, 'm');  // words 96 to 127 fit
  EXPECT_EQ(BuildEeprom(options).result, 0);
  options.Settings.ManufacturerString = std::string(32, 'm');
  const Outcome outcome = BuildEeprom(options);
  EXPECT_EQ(outcome.result, -1);
  EXPECT_EQ(outcome.output,
            "WARNING: The size of generated binary is greater than EEPROM size(256Bytes)\n");
}

TEST(ImageChecks, StringOf126CharactersFitsItsOneByteLength) {
  TestBoard options;
  ValidBoard(options).Settings.ProductString = std::string(126, 'p');
  const Outcome outcome = BuildEeprom(options);
  EXPECT_EQ(outcome.result, 0) << outcome.output;
  EXPECT_EQ(outcome.image[0x27], 254);
  EXPECT_EQ(outcome.image[0xC0], 254);
  EXPECT_EQ(outcome.length, 192 + 254);
}

TEST(ImageChecks, StringOf127CharactersIsRefusedNotWrapped) {
  TestBoard options;
  ValidBoard(options).Settings.ProductString = std::string(127, 'p');
  const Outcome outcome = BuildEeprom(options);
  EXPECT_EQ(outcome.result, -1);
  EXPECT_EQ(outcome.output,
            "ERROR: ProductString has 127 characters; a string descriptor holds at most 126\n");
}

}  // namespace
