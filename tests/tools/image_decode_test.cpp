// image_decode_test.cpp - reading images back: a golden image written from the layout tables is
// decoded field by field in each file form, and hostile files decode without reading past their
// end and with their inconsistencies listed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tools/image/image_ini.h"
#include "tools/image/image_inspect.h"

namespace {

// A board whose head fields all differ, with the serial number "7" and a wake-up filter of an
// all-zero pattern, byte for byte as the layout tables give it.
// clang-format off
const std::vector<uint8_t> kGoldenImage = {
    0xA5,                                // 0x00 signature
    0x00, 0x11, 0x22, 0x33, 0x44, 0x55,  // 0x01 MAC address
    0x02, 0x01,                          // 0x07 GPIOWake
    0xAA,                                // 0x09 [GPIOPME0] bits 7, 5, 3, 1
    0x51,                                // 0x0A [GPIOPME1] bits 6, 4, 0 (PMEWUFFEnable)
    0x09,                                // 0x0B LED3 and LED0 enabled
    0x3A,                                // 0x0C LED1Function 3, LED0Function A
    0xF1,                                // 0x0D LED3Function F, LED2Function 1
    0x01, 0x02,                          // 0x0E GPIOWakePolarity
    0x20, 0x04, 0x08,                    // 0x10 FS, HS, SS poll intervals
    0x06, 0x80, 0xD1, 0x07,              // 0x13 configuration flags 0
    0x80, 0x67, 0x01, 0x00,              // 0x17 configuration flags 1 default
    0x00, 0x00, 0x00, 0x00,              // 0x1B configuration flags 2 default
    0x0A, 0x00, 0x1E, 0x00,              // 0x1F configuration flags 3 default
    0x09, 0x04,                          // 0x23 language ID
    0, 0, 0, 0, 0x04, 0x60, 0, 0, 0, 0,  // 0x25 string table: the serial number at word 0x60
    0x16, 0x31, 0x12, 0x3C, 0x12, 0x45, 0x12, 0x4E, 0x12, 0x57, 0x12, 0x4E, 0x12, 0x57,  // 0x2F
    0x14, 0x62, 0, 0, 0, 0,              // 0x3D block table: the wake-up filter at word 0x62
    0x00, 0x00, 0x00, 0x00, 0x00,        // 0x43 test bus words, zero
    0x05, 0x00,                          // 0x48 GPIOData
    0x00, 0x0F,                          // 0x4A GPIODirection
    0x30, 0x00,                          // 0x4C GPIOBuffer
    0xFC, 0xF0,                          // 0x4E GPIOEnable 0x0F03 inverted
    0, 0, 0, 0, 0, 0, 0, 0,              // 0x50 USB3AFETestBusIn0 and 1
    0x34, 0x12,                          // 0x58 LEDBehavior
    0x00, 0x00, 0x00, 0x00,              // 0x5A configuration flags 4 default
    0x31, 0x80, 0x00, 0x4F,              // 0x5E configuration flags 5 default
    0x05, 0x0F, 0x16, 0x00, 0x02,        // 0x62 BOS
    0x07, 0x10, 0x02, 0x0E, 0x01, 0x00, 0x00,  // 0x67 USB 2.0 Extension
    0x0A, 0x10, 0x03, 0x02, 0x0E, 0x00, 0x01, 0x0A, 0xDC, 0x05,  // 0x6E SuperSpeed capability
    0x12, 0x01, 0x10, 0x03, 0xFF, 0x00, 0xFF, 0x09,  // 0x78 SuperSpeed device descriptor
    0x1D, 0x0E, 0x30, 0x52, 0x00, 0x01, 0x00, 0x00, 0x03, 0x01,
    0x09, 0x02, 0x39, 0x00, 0x01, 0x01, 0x00, 0xA0, 0x0C,  // 0x8A configuration, 96 mA
    0x09, 0x04, 0x00, 0x00, 0x03, 0xFF, 0x00, 0xFF, 0x00,  // 0x93 interface
    0x12, 0x01, 0x10, 0x02, 0xFF, 0x00, 0xFF, 0x40,  // 0x9C high-speed device descriptor
    0x1D, 0x0E, 0x30, 0x52, 0x00, 0x01, 0x00, 0x00, 0x03, 0x01,
    0x09, 0x02, 0x27, 0x00, 0x01, 0x01, 0x00, 0xA0, 0xFA,  // 0xAE configuration, 500 mA
    0x09, 0x04, 0x00, 0x00, 0x03, 0xFF, 0x00, 0xFF, 0x00,  // 0xB7 interface
    0x04, 0x03, 0x37, 0x00,              // 0xC0 serial number "7"
    0xDF, 0x7F, 0x05, 0x81,              // 0xC4 wake-up filter: CRC of 128 zero bytes, offset 5,
    0, 0, 0, 0, 0, 0, 0, 0,              //      address type 1, empty mask
    0, 0, 0, 0, 0, 0, 0, 0,
};
// clang-format on

std::string Field(const InspectedImage& decoded, const std::string& name) {
  const std::string* value = FindField(decoded, name);
  return value != nullptr ? *value : "<no field " + name + ">";
}

InspectedImage Decode(const std::vector<uint8_t>& file) {
  return InspectImageFile(file.data(), file.size());
}

// The 0xF7 file form: the signature, 0x100 ignored bytes, then image bytes 1 onwards; and the
// offsets in the three tables biased by 0x80.
std::vector<uint8_t> UpperHalfFile(std::vector<uint8_t> image) {
  image[0] = 0xF7;
  for (int pair = 0x25; pair < 0x43; pair += 2) {
    if (image[pair] != 0) image[pair + 1] = static_cast<uint8_t>(image[pair + 1] + 0x80);
  }
  std::vector<uint8_t> file(0x101, 0);
  file[0] = 0xF7;
  file.insert(file.end(), image.begin() + 1, image.end());
  return file;
}

bool HasProblem(const InspectedImage& decoded, const std::string& part) {
  for (const std::string& problem : decoded.problems) {
    if (problem.find(part) != std::string::npos) return true;
  }
  return false;
}

TEST(ImageDecode, GoldenImageFieldByField) {
  ASSERT_EQ(kGoldenImage.size(), 216u);
  const InspectedImage d = Decode(kGoldenImage);
  EXPECT_TRUE(d.problems.empty()) << d.problems.front();
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Signature", "0xA5 (EEPROM image)"},
      {"CurrentMacAddress", "00:11:22:33:44:55"},
      {"GPIOWake", "0x0102"},
      {"GPIOPMEEnable", "1"},
      {"GPIOPMEConfiguration", "0"},
      {"GPIOPMELength", "1"},
      {"PMEMagicPacketEnable", "1"},
      {"PMEPerfectDAEnable", "0"},
      {"GPIOConnectBufferType", "1"},
      {"GPIOConnectEnable", "0"},
      {"PMEWUFFEnable", "1"},
      {"LED3Enable", "1"},
      {"LED1Enable", "0"},
      {"LED1Function", "3"},
      {"LED0Function", "10"},
      {"LED3Function", "15"},
      {"LED2Function", "1"},
      {"GPIOWakePolarity", "0x0201"},
      {"FSPollInterval", "32"},
      {"HSPollInterval", "4"},
      {"SSPollInterval", "8"},
      {"ConfigFlags0", "0x07D18006"},
      {"ConfigFlags1", "0x00016780"},
      {"ConfigFlags3", "0x001E000A"},
      {"ConfigFlags5", "0x4F008031"},
      {"GPIOData", "0x0005"},
      {"GPIODirection", "0x0F00"},
      {"GPIOBuffer", "0x0030"},
      {"GPIOEnable", "0x0F03"},
      {"LEDBehavior", "0x1234"},
      {"USB2ExtAttributes", "0x0000010E"},
      {"SuperSpeedAttributes", "0x02"},
      {"U2DevExitLatency", "0x05DC"},
      {"SuperSpeed.VendorID", "0x0E1D"},
      {"SuperSpeed.bcdDevice", "0x0100"},
      {"SuperSpeed.iSerialNumber", "3"},
      {"SuperSpeed.MaxPower", "12 (96 mA)"},
      {"HighSpeed.MaxPower", "250 (500 mA)"},
      {"HighSpeed.ConfigurationAttributes", "0xA0"},
      {"ManufacturerString", "absent"},
      {"CurrentSerialNumber", "\"7\""},
      {"WakeFilterCrc", "0x7FDF"},
      {"FilterPatternOffset", "5"},
      {"FilterAddressType", "1"},
      {"FilterMask", "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
      {"LTMBELT", "absent"},
      {"CommonTestBusIn", "absent"},
      {"ImageLength", "216"},
  };
  for (const auto& [name, value] : expected) EXPECT_EQ(Field(d, name), value) << name;
}

TEST(ImageDecode, BothOtpFormsGiveTheFieldsOfTheSameImage) {
  const InspectedImage eeprom = Decode(kGoldenImage);
  std::vector<uint8_t> lower = kGoldenImage;
  lower[0] = 0xF3;
  std::vector<uint8_t> upper = UpperHalfFile(kGoldenImage);
  ASSERT_EQ(upper.size(), 216u + 256u);
  for (const std::vector<uint8_t>* file : {&lower, &upper}) {
    const InspectedImage otp = Decode(*file);
    EXPECT_TRUE(otp.problems.empty()) << otp.problems.front();
    ASSERT_EQ(otp.fields.size(), eeprom.fields.size());
    for (size_t i = 1; i < otp.fields.size(); ++i) {
      EXPECT_EQ(otp.fields[i].value, eeprom.fields[i].value) << otp.fields[i].name;
    }
  }
  EXPECT_EQ(Field(Decode(upper), "Signature"),
            "0xF7 (OTP image, upper half (offsets biased by 0x80))");
  EXPECT_EQ(Field(Decode(lower), "Signature"), "0xF3 (OTP image, lower half)");
}

TEST(ImageDecode, TablesThatDisagreeWithTheImageAreListed) {
  std::vector<uint8_t> image = kGoldenImage;
  image[0xC1] = 0x02;  // the serial descriptor's type is not a string's
  image[0xC4] = 0x00;  // a filter CRC that no pattern with an empty mask has
  image[0x6A] = 0x08;  // LPM bits cleared although ConfigFlags0 sets LPM
  image[0xA4] = 0x1E;  // high-speed vendor ID differs from the SuperSpeed one
  const InspectedImage d = Decode(image);
  EXPECT_TRUE(HasProblem(d, "CurrentSerialNumber: descriptor header 04 02, the table gives 04 03"));
  EXPECT_TRUE(HasProblem(d, "wake-up filter: CRC 0x7F00 fits no pattern"));
  EXPECT_TRUE(HasProblem(d, "LPM bits disagree"));
  EXPECT_TRUE(HasProblem(d, "device descriptors differ"));
  EXPECT_EQ(d.problems.size(), 4u);
}

// Every table of the head pointing past the end, and files cut anywhere: the decoder reads only
// what the file holds and says what is wrong.
TEST(ImageDecode, HostileFilesAreDecodedWithinTheirBytes) {
  std::vector<uint8_t> outside = kGoldenImage;
  for (int pair = 0x25; pair < 0x43; pair += 2) {
    outside[pair] = 0xFE;
    outside[pair + 1] = 0xFF;
  }
  const InspectedImage d = Decode(outside);
  EXPECT_TRUE(HasProblem(d,
                         "ManufacturerString: its descriptor at byte 0x1FE, 254 bytes, runs "
                         "past the end of the image (216 bytes)"));
  EXPECT_TRUE(HasProblem(d, "test bus block at byte 0x1FE, 254 bytes, runs past the end"));
  EXPECT_TRUE(HasProblem(d, "descriptor table entry 6 points at byte 0x1FE"));
  EXPECT_EQ(Field(d, "ManufacturerString"), "\"\"");
  EXPECT_EQ(Field(d, "LTMBELT"), "unreadable");

  EXPECT_TRUE(HasProblem(Decode({}), "the file is empty"));
  const InspectedImage one = Decode({0xA5});
  EXPECT_EQ(Field(one, "CurrentMacAddress"), "beyond the end of the image");
  EXPECT_TRUE(HasProblem(one, "the head ends after 1 of its 192 bytes"));
  std::vector<uint8_t> cut(kGoldenImage.begin(), kGoldenImage.begin() + 0xC2);
  EXPECT_TRUE(HasProblem(Decode(cut), "CurrentSerialNumber: its descriptor at byte 0xC0, 4 bytes"));
  std::vector<uint8_t> long_file = kGoldenImage;
  long_file.resize(513);
  EXPECT_TRUE(HasProblem(Decode(long_file), "the file holds 513 bytes, more than the 512"));
  const InspectedImage unknown = Decode({0x12, 0x34});
  EXPECT_EQ(unknown.form, ImageForm::kUnknown);
  EXPECT_TRUE(HasProblem(unknown, "signature 0x12 is no image form's"));

  // Random bytes behind each signature, of every awkward length: nothing may be read outside
  // (the sanitizer build checks), and the INI writer must cope with whatever was decoded.
  std::mt19937 random(5230);
  for (int round = 0; round < 150; ++round) {
    const size_t lengths[] = {1, 2, 191, 192, 255, 256, 257, 300, 512, 513};
    std::vector<uint8_t> file(lengths[round % 10]);
    for (uint8_t& byte : file) byte = static_cast<uint8_t>(random());
    const uint8_t signatures[] = {0xA5, 0xF3, 0xF7};
    file[0] = signatures[round % 3];
    std::vector<std::string> obstacles;
    ImageIniText(Decode(file), &obstacles);
    EXPECT_FALSE(obstacles.empty());
  }
}

// The first |bytes| bytes of the golden image, as a file of exactly that size on the heap: the
// sanitizer build sees a read one byte past it.
InspectedImage DecodeCut(size_t bytes) {
  return Decode(std::vector<uint8_t>(kGoldenImage.begin(), kGoldenImage.begin() + bytes));
}

TEST(ImageDecode, WhatEndsOneBytePastTheFileIsOutsideIt) {
  EXPECT_EQ(Field(DecodeCut(98), "ConfigFlags5"), "0x4F008031");  // bytes 0x5E to 0x61
  EXPECT_EQ(Field(DecodeCut(97), "ConfigFlags5"), "beyond the end of the image");

  // The BOS descriptor's fixed bytes run from 0x62 to 0x66: one of them is missing.
  EXPECT_FALSE(HasProblem(DecodeCut(102), "BOS descriptor"));

  const char serial_outside[] = "CurrentSerialNumber: its descriptor at byte 0xC0, 4 bytes, runs";
  EXPECT_FALSE(HasProblem(DecodeCut(0xC4), serial_outside));
  EXPECT_TRUE(HasProblem(DecodeCut(0xC3), serial_outside));

  const InspectedImage filter_cut = DecodeCut(kGoldenImage.size() - 1);
  EXPECT_TRUE(HasProblem(filter_cut, "wake-up filter block at byte 0xC4, 20 bytes, runs past"));
  EXPECT_EQ(Field(filter_cut, "WakeFilter"), "unreadable");
}

TEST(ImageDecode, StringTextEndsWithTheLastWholeUnitInsideTheDescriptor) {
  std::vector<uint8_t> image = kGoldenImage;
  image[0x29] = 5;  // the serial "7" and half of the next unit
  const InspectedImage d = Decode(image);
  EXPECT_EQ(Field(d, "CurrentSerialNumber"), "\"7\"");
  EXPECT_TRUE(HasProblem(d, "CurrentSerialNumber: descriptor length 5 is not 2n + 2"));
}

// The golden image with |serial| in place of "7", the wake-up filter block moved behind it.
std::vector<uint8_t> GoldenWithSerial(const std::string& serial) {
  std::vector<uint8_t> image(kGoldenImage.begin(), kGoldenImage.begin() + 0xC0);
  image[0x29] = static_cast<uint8_t>(2 * serial.size() + 2);
  image.push_back(image[0x29]);
  image.push_back(0x03);
  for (const char c : serial) image.insert(image.end(), {static_cast<uint8_t>(c), 0});
  image[0x3E] = static_cast<uint8_t>(image.size() / 2);
  image.insert(image.end(), kGoldenImage.begin() + 0xC4, kGoldenImage.end());
  return image;
}

TEST(ImageIni, SerialNumberOfUpTo16CharactersIsWrittenBack) {
  for (const size_t length : {16u, 17u}) {
    const std::string serial(length, 'A');
    std::vector<std::string> obstacles;
    const std::string ini = ImageIniText(Decode(GoldenWithSerial(serial)), &obstacles);
    EXPECT_NE(ini.find("CurrentSerialNumber = " + serial + "\n"), std::string::npos);
    const bool refused = std::any_of(obstacles.begin(), obstacles.end(), [](const std::string& o) {
      return o.find("serial number") != std::string::npos;
    });
    EXPECT_EQ(refused, length > 16) << length;
  }
}

}  // namespace
