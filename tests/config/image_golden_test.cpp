// image_golden_test.cpp - EEPROM images checked byte for byte against the image layout: the head
// offsets and values below are written from the layout table, not taken from the builder.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "config/image/image_builder.h"
#include "config/ini_loader.h"
#include "config/ini_state.h"
#include "config/test_board.h"
#include "support/capture_console.h"

namespace {

// A board with every head field set to a distinct value and no strings or optional blocks.
void FillDistinctBoard(DeviceSettings& s) {
  s.CurrentMacAddress = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
  s.GPIOWake = 0x0102;
  s.GPIOPMEEnable = 1;
  s.GPIOPMELength = 1;
  s.GPIOBufferType = 1;
  s.PMEMagicPacketEnable = 1;
  s.GPIOConnectBufferType = 1;
  s.GPIOConnectPolarity = 1;
  s.LED3Enable = 1;
  s.LED0Enable = 1;
  s.LED1Function = 3;
  s.LED0Function = 0xA;
  s.LED3Function = 0xF;
  s.LED2Function = 1;
  s.GPIOWakePolarity = 0x0201;
  s.FSPollInterval = 0x20;
  s.HSPollInterval = 4;
  s.SSPollInterval = 8;
  s.RemoteWakeupEnable = 1;
  s.GPIOData = 0x0005;
  s.GPIODirection = 0x0F00;
  s.GPIOBuffer = 0x0030;
  s.GPIOEnable = 0x0F03;
  s.LEDBehavior = 0x1234;
  s.BcdDevice = 0x0001;
  s.SSMaxPower = 96;
  s.HSMaxPower = 500;
}

// The head of that board, offset by offset.
// clang-format off
const std::vector<uint8_t> kDistinctBoardHead = {
    0xA5,                                // 0x00 signature
    0x00, 0x11, 0x22, 0x33, 0x44, 0x55,  // 0x01 MAC address
    0x02, 0x01,                          // 0x07 GPIOWake
    0xAA,                                // 0x09 [GPIOPME0] bits 7, 5, 3, 1
    0x50,                                // 0x0A [GPIOPME1] bits 6, 4
    0x09,                                // 0x0B LED3 and LED0 enabled
    0x3A,                                // 0x0C LED1Function 3, LED0Function A
    0xF1,                                // 0x0D LED3Function F, LED2Function 1
    0x01, 0x02,                          // 0x0E GPIOWakePolarity
    0x20, 0x04, 0x08,                    // 0x10 FS, HS, SS poll intervals
    0x06, 0x80, 0xD1, 0x07,              // 0x13 configuration flags 0: remote wakeup, bus power
    0x80, 0x67, 0x01, 0x00,              // 0x17 configuration flags 1 default
    0x00, 0x00, 0x00, 0x00,              // 0x1B configuration flags 2 default
    0x0A, 0x00, 0x1E, 0x00,              // 0x1F configuration flags 3 default
    0x09, 0x04,                          // 0x23 language ID
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0,        // 0x25 string table, no strings
    0x16, 0x31, 0x12, 0x3C, 0x12, 0x45, 0x12, 0x4E, 0x12, 0x57, 0x12, 0x4E, 0x12, 0x57,  // 0x2F
    0, 0, 0, 0, 0, 0,                    // 0x3D block table, no blocks
    0x00, 0x00,                          // 0x43 USB3PllTestBusIn absent
    0x00,                                // 0x45 USB2AFETestBusIn absent
    0x00, 0x00,                          // 0x46 zero
    0x05, 0x00,                          // 0x48 GPIOData
    0x00, 0x0F,                          // 0x4A GPIODirection
    0x30, 0x00,                          // 0x4C GPIOBuffer
    0xFC, 0xF0,                          // 0x4E GPIOEnable 0x0F03 inverted
    0, 0, 0, 0,                          // 0x50 USB3AFETestBusIn0 absent
    0, 0, 0, 0,                          // 0x54 USB3AFETestBusIn1 absent
    0x34, 0x12,                          // 0x58 LEDBehavior
    0x00, 0x00, 0x00, 0x00,              // 0x5A configuration flags 4 default
    0x31, 0x80, 0x00, 0x4F,              // 0x5E configuration flags 5 default
    0x05, 0x0F, 0x16, 0x00, 0x02,        // 0x62 BOS
    0x07, 0x10, 0x02, 0x0E, 0x01, 0x00, 0x00,  // 0x67 USB 2.0 Extension, LPM bits set
    0x0A, 0x10, 0x03, 0x02, 0x0E, 0x00, 0x01, 0x0A, 0xDC, 0x05,  // 0x6E SuperSpeed capability
    0x12, 0x01, 0x10, 0x03, 0xFF, 0x00, 0xFF, 0x09,  // 0x78 SuperSpeed device descriptor
    0x1D, 0x0E, 0x30, 0x52, 0x00, 0x01,  //      VendorID, ProductID, bcdDevice 0x0100
    0x00, 0x00, 0x03, 0x01,              //      no manufacturer, no product, serial 3
    0x09, 0x02, 0x39, 0x00, 0x01, 0x01, 0x00, 0xA0, 0x0C,  // 0x8A configuration, 96 mA / 8
    0x09, 0x04, 0x00, 0x00, 0x03, 0xFF, 0x00, 0xFF, 0x00,  // 0x93 interface
    0x12, 0x01, 0x10, 0x02, 0xFF, 0x00, 0xFF, 0x40,  // 0x9C high-speed device descriptor
    0x1D, 0x0E, 0x30, 0x52, 0x00, 0x01, 0x00, 0x00, 0x03, 0x01,
    0x09, 0x02, 0x27, 0x00, 0x01, 0x01, 0x00, 0xA0, 0xFA,  // 0xAE configuration, 500 mA / 2
    0x09, 0x04, 0x00, 0x00, 0x03, 0xFF, 0x00, 0xFF, 0x00,  // 0xB7 interface
};
// clang-format on

struct Built {
  int result = 0;
  int32_t length = 0;
  std::vector<uint8_t> image;
  std::string output;
};

Built Build(TestBoard& options, ImageKind kind = kImageKindEeprom) {
  CaptureConsole console;
  Built built;
  built.image.assign(kImageBufferSize, 0);
  options.IdRegister = 0x52300000;
  built.result = BuildImage(options.Settings, ImageTarget{options.ChipId(), options.EepromSize},
                            built.image.data(), kind, &options.ImageLength, console);
  built.length = options.ImageLength;
  built.output = console.TakeOutput();
  return built;
}

std::vector<uint8_t> Bytes(const Built& built, int offset, int count) {
  return {built.image.begin() + offset, built.image.begin() + offset + count};
}

TEST(ImageGolden, HeadOfABoardWithoutStringsMatchesTheLayoutByteForByte) {
  ASSERT_EQ(kDistinctBoardHead.size(), 192u);
  TestBoard options;
  FillDistinctBoard(options.Settings);
  const Built built = Build(options);
  ASSERT_EQ(built.result, 0) << built.output;
  EXPECT_EQ(built.length, 192);
  EXPECT_EQ(Bytes(built, 0, 192), kDistinctBoardHead);
  EXPECT_EQ(Bytes(built, 192, kImageBufferSize - 192),
            std::vector<uint8_t>(kImageBufferSize - 192));
}

TEST(ImageGolden, ExampleBoardIniGivesTheDocumentedImage) {
  CaptureConsole console;
  TestBoard options;
  IniState ini;
  const std::string path = std::string(QNT_SOURCE_DIR) + "/examples/board.ini";
  ASSERT_EQ(LoadIniFile(path.c_str(), options.Settings, ini, console), 0) << console.output();
  ASSERT_EQ(ValidateIniSections(options.Settings, ini, console), 0) << console.output();
  const Built built = Build(options);
  ASSERT_EQ(built.result, 0) << built.output;

  EXPECT_EQ(Bytes(built, 0x00, 7),
            (std::vector<uint8_t>{0xA5, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
  EXPECT_EQ(Bytes(built, 0x07, 12), (std::vector<uint8_t>{0x00, 0x00, 0x02, 0x00, 0x03, 0x10, 0x00,
                                                          0x00, 0x00, 0x01, 0x04, 0x04}));
  EXPECT_EQ(Bytes(built, 0x13, 4), (std::vector<uint8_t>{0x06, 0x80, 0xD1, 0x07}));
  // Manufacturer "Example Networks" (16), product "Gigabit Ethernet Adapter" (24), serial
  // "000000000001" (12); configuration and interface strings disabled.
  EXPECT_EQ(Bytes(built, 0x25, 10),
            (std::vector<uint8_t>{0x22, 0x60, 0x32, 0x71, 0x1A, 0x8A, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_EQ(Bytes(built, 0x3D, 6), std::vector<uint8_t>(6));
  EXPECT_EQ(Bytes(built, 0x4E, 2), (std::vector<uint8_t>{0xFF, 0xFF}));
  // BcdDevice 0100 keeps only its low byte, shifted: bcdDevice 0x0000.
  EXPECT_EQ(Bytes(built, 0x80, 10),
            (std::vector<uint8_t>{0x1D, 0x0E, 0x30, 0x52, 0x00, 0x00, 0x01, 0x02, 0x03, 0x01}));
  EXPECT_EQ(Bytes(built, 0xA4, 10),
            (std::vector<uint8_t>{0x1D, 0x0E, 0x30, 0x52, 0x00, 0x00, 0x01, 0x02, 0x03, 0x01}));
  EXPECT_EQ(Bytes(built, 0x90, 3), (std::vector<uint8_t>{0x00, 0xA0, 0x70}));  // 896 mA / 8
  EXPECT_EQ(Bytes(built, 0xB4, 3), (std::vector<uint8_t>{0x00, 0xA0, 0xFA}));  // 500 mA / 2
  EXPECT_EQ(Bytes(built, 0x9B, 1), std::vector<uint8_t>{0x00});
  EXPECT_EQ(Bytes(built, 0xBF, 1), std::vector<uint8_t>{0x00});

  std::vector<uint8_t> strings = {0x22, 0x03};
  for (char c : std::string("Example Networks")) strings.insert(strings.end(), {uint8_t(c), 0});
  strings.insert(strings.end(), {0x32, 0x03});
  for (char c : std::string("Gigabit Ethernet Adapter"))
    strings.insert(strings.end(), {uint8_t(c), 0});
  strings.insert(strings.end(), {0x1A, 0x03});
  for (char c : std::string("000000000001")) strings.insert(strings.end(), {uint8_t(c), 0});
  EXPECT_EQ(Bytes(built, 192, static_cast<int>(strings.size())), strings);
  EXPECT_EQ(built.length, 302);
}

TEST(ImageGolden, FiveStringsFollowEachOtherFromWord0x60WithTheirIndexes) {
  TestBoard options;
  FillDistinctBoard(options.Settings);
  DeviceSettings& s = options.Settings;
  s.ManufacturerString = "AB";
  s.ProductString = "Q";
  s.CurrentSerialNumber = "0001";
  s.ConfigurationString = "C";
  s.InterfaceString = "I";
  const Built built = Build(options);
  ASSERT_EQ(built.result, 0) << built.output;
  EXPECT_EQ(Bytes(built, 0x25, 10),
            (std::vector<uint8_t>{0x06, 0x60, 0x04, 0x63, 0x0A, 0x65, 0x04, 0x6A, 0x04, 0x6C}));
  EXPECT_EQ(
      Bytes(built, 192, 28),
      (std::vector<uint8_t>{0x06, 0x03, 'A', 0, 'B', 0, 0x04, 0x03, 'Q', 0, 0x0A, 0x03, '0', 0,
                            '0',  0,    '0', 0, '1', 0, 0x04, 0x03, 'C', 0, 0x04, 0x03, 'I', 0}));
  EXPECT_EQ(built.length, 220);
  for (int device : {0x78, 0x9C}) {
    EXPECT_EQ(Bytes(built, device + 14, 2), (std::vector<uint8_t>{1, 2})) << device;
  }
  for (int configuration : {0x8A, 0xAE}) {
    EXPECT_EQ(built.image[configuration + 6], 4) << configuration;
    EXPECT_EQ(built.image[configuration + 17], 5) << configuration;
  }
}

TEST(ImageGolden, ManufacturerAbAloneIsTheDocumentedDescriptor) {
  TestBoard options;
  FillDistinctBoard(options.Settings);
  options.Settings.ManufacturerString = "AB";
  const Built built = Build(options);
  ASSERT_EQ(built.result, 0);
  EXPECT_EQ(Bytes(built, 0x25, 10), (std::vector<uint8_t>{0x06, 0x60, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Bytes(built, 0xC0, 6), (std::vector<uint8_t>{0x06, 0x03, 0x41, 0x00, 0x42, 0x00}));
  EXPECT_EQ(built.length, 198);
}

TEST(ImageGolden, CharactersAbove0x7FAreSignExtended) {
  TestBoard options;
  FillDistinctBoard(options.Settings);
  options.Settings.ProductString = std::string("A\xE9");
  const Built built = Build(options);
  ASSERT_EQ(built.result, 0);
  EXPECT_EQ(Bytes(built, 0xC0, 6), (std::vector<uint8_t>{0x06, 0x03, 0x41, 0x00, 0xE9, 0xFF}));
}

TEST(ImageGolden, AllThreeOptionalBlocksFollowTheStringsInOrder) {
  TestBoard options;
  FillDistinctBoard(options.Settings);
  DeviceSettings& s = options.Settings;
  s.PMEWUFFEnable = 1;
  s.FilterPatternOffset = 0x1C;
  s.FilterAddressType = 2;
  s.FilterMaskPatternBytes[0] = 0x11;    // mask byte 0 bit 0
  s.FilterMaskPatternBytes[9] = 0x22;    // mask byte 1 bit 1
  s.FilterMaskPatternBytes[127] = 0x33;  // mask byte 15 bit 7
  s.LTMBELTPresent = 1;
  s.LTMBELTIdle0 = 0x01020304;
  s.LTMBELTIdle1 = 0x05060708;
  s.LTMBELTActive0 = 0x090A0B0C;
  s.LTMBELTActive1 = 0x0D0E0F10;
  s.LTMBELTInActive0 = 0x11121314;
  s.LTMBELTInActive1 = 0x15161718;
  s.CommonTestBusInPresent = 1;
  s.CommonTestBusIn = 0xCAFEF00D;
  const Built built = Build(options);
  ASSERT_EQ(built.result, 0) << built.output;

  // Block table: wake-up filter at word 0x60, LTM/BELT at 0x6A, test bus at 0x76.
  EXPECT_EQ(Bytes(built, 0x3D, 6), (std::vector<uint8_t>{20, 0x60, 24, 0x6A, 4, 0x76}));
  EXPECT_EQ(Bytes(built, 0xC2, 18), (std::vector<uint8_t>{0x1C, 0x82, 0x01, 0x02, 0, 0, 0, 0, 0, 0,
                                                          0, 0, 0, 0, 0, 0, 0, 0x80}));
  EXPECT_EQ(Bytes(built, 0xD4, 24),
            (std::vector<uint8_t>{0x04, 0x03, 0x02, 0x01, 0x08, 0x07, 0x06, 0x05,
                                  0x0C, 0x0B, 0x0A, 0x09, 0x10, 0x0F, 0x0E, 0x0D,
                                  0x14, 0x13, 0x12, 0x11, 0x18, 0x17, 0x16, 0x15}));
  EXPECT_EQ(Bytes(built, 0xEC, 4), (std::vector<uint8_t>{0x0D, 0xF0, 0xFE, 0xCA}));
  EXPECT_EQ(built.length, 240);
}

TEST(ImageGolden, ZeroFilterPatternGivesCrcDf7fAndEmptyMask) {
  TestBoard options;
  FillDistinctBoard(options.Settings);
  options.Settings.PMEWUFFEnable = 1;
  const Built built = Build(options);
  ASSERT_EQ(built.result, 0);
  EXPECT_EQ(Bytes(built, 0x3D, 2), (std::vector<uint8_t>{20, 0x60}));
  EXPECT_EQ(Bytes(built, 0xC0, 4), (std::vector<uint8_t>{0xDF, 0x7F, 0x00, 0x80}));
  EXPECT_EQ(Bytes(built, 0xC4, 16), std::vector<uint8_t>(16));
  EXPECT_EQ(built.length, 212);
}

TEST(ImageGolden, OverridesReplaceTheDefaultsAndDriveTheCapabilityBits) {
  TestBoard options;
  FillDistinctBoard(options.Settings);
  DeviceSettings& s = options.Settings;
  s.ConfigFlags0OverridePresent = 1;
  s.ConfigFlags0Override = 0x00000000;  // no LPM, U1/U2 bit clear
  s.USB2ExtAttributesPresent = 1;
  s.USB2ExtAttributes = 0x0000F10E;
  s.ConfigFlags1OverridePresent = 1;
  s.ConfigFlags1Override = 0x11111111;
  s.ConfigFlags2OverridePresent = 1;
  s.ConfigFlags2Override = 0x22222222;
  s.ConfigFlags3OverridePresent = 1;
  s.ConfigFlags3Override = 0x33333333;
  s.ConfigFlags4OverridePresent = 1;
  s.ConfigFlags4Override = 0x44444444;
  s.ConfigFlags5OverridePresent = 1;
  s.ConfigFlags5Override = 0x55555555;
  s.USB3PllTestBusInPresent = 1;
  s.USB3PllTestBusIn = 0xABCD;
  s.USB2AFETestBusInPresent = 1;
  s.USB2AFETestBusIn = 0xEF;
  s.USB3AFETestBusIn0Present = 1;
  s.USB3AFETestBusIn0 = 0x01234567;
  s.USB3AFETestBusIn1Present = 1;
  s.USB3AFETestBusIn1 = 0x89ABCDEF;
  s.SpeedsSupportedPresent = 1;
  s.SpeedsSupported = 0x1F;  // only the low four bits are stored
  s.FunctionalitySupportPresent = 1;
  s.FunctionalitySupport = 0x3;
  s.U1DevExitLatencyPresent = 1;
  s.U1DevExitLatency = 0x7;
  s.U2DevExitLatencyPresent = 1;
  s.U2DevExitLatency = 0x1234;  // only the low twelve bits are stored
  const Built built = Build(options);
  ASSERT_EQ(built.result, 0) << built.output;
  EXPECT_EQ(Bytes(built, 0x13, 16),
            (std::vector<uint8_t>{0, 0, 0, 0, 0x11, 0x11, 0x11, 0x11, 0x22, 0x22, 0x22, 0x22, 0x33,
                                  0x33, 0x33, 0x33}));
  EXPECT_EQ(Bytes(built, 0x43, 3), (std::vector<uint8_t>{0xCD, 0xAB, 0xEF}));
  EXPECT_EQ(Bytes(built, 0x50, 8),
            (std::vector<uint8_t>{0x67, 0x45, 0x23, 0x01, 0xEF, 0xCD, 0xAB, 0x89}));
  EXPECT_EQ(Bytes(built, 0x5A, 8),
            (std::vector<uint8_t>{0x44, 0x44, 0x44, 0x44, 0x55, 0x55, 0x55, 0x55}));
  EXPECT_EQ(Bytes(built, 0x6A, 4),
            (std::vector<uint8_t>{0x08, 0xF1, 0x00, 0x00}));  // bits 1, 2 cleared
  EXPECT_EQ(Bytes(built, 0x71, 7),
            (std::vector<uint8_t>{0x00, 0x0F, 0x00, 0x03, 0x07, 0x34, 0x02}));
}

TEST(ImageGolden, SuspendSelectAndPolarityGoIntoByte0x15) {
  TestBoard options;
  FillDistinctBoard(options.Settings);
  options.Settings.SWModeSuspendNSelect = 2;
  options.Settings.SWModePolarity = 1;
  options.Settings.SelfPower = 1;
  options.Settings.RemoteWakeupEnable = 0;
  const Built built = Build(options);
  ASSERT_EQ(built.result, 0);
  EXPECT_EQ(Bytes(built, 0x13, 4), (std::vector<uint8_t>{0x05, 0x80, 0xDB, 0x07}));
  EXPECT_EQ(built.image[0x91], 0xC0);
  EXPECT_EQ(built.image[0xB5], 0xC0);
}

TEST(ImageGolden, UpperHalfOtpImageBiasesEveryStoredWordOffset) {
  TestBoard options;
  FillDistinctBoard(options.Settings);
  options.Settings.OtpSignature = 0xF7;
  options.Settings.ManufacturerString = "AB";
  options.Settings.CommonTestBusInPresent = 1;
  const Built built = Build(options, kImageKindOtp);
  ASSERT_EQ(built.result, 0);
  EXPECT_EQ(built.image[0], 0xF7);
  EXPECT_EQ(Bytes(built, 0x25, 2), (std::vector<uint8_t>{0x06, 0xE0}));
  EXPECT_EQ(Bytes(built, 0x2F, 14),
            (std::vector<uint8_t>{0x16, 0xB1, 0x12, 0xBC, 0x12, 0xC5, 0x12, 0xCE, 0x12, 0xD7, 0x12,
                                  0xCE, 0x12, 0xD7}));
  EXPECT_EQ(Bytes(built, 0x41, 2), (std::vector<uint8_t>{4, 0xE3}));
}

TEST(ImageGolden, LowerHalfOtpImageCarriesNoBias) {
  TestBoard options;
  FillDistinctBoard(options.Settings);
  options.Settings.OtpSignature = 0xF3;
  const Built built = Build(options, kImageKindOtp);
  ASSERT_EQ(built.result, 0);
  std::vector<uint8_t> expected = kDistinctBoardHead;
  expected[0] = 0xF3;
  EXPECT_EQ(Bytes(built, 0, 192), expected);
}

}  // namespace
