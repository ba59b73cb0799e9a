// image_round_trip_test.cpp - the INI text written back from an image builds that very image:
// checked over many generated INI files, for the EEPROM image and both OTP file forms.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "config/image/image_builder.h"
#include "config/ini_test_support.h"
#include "tools/image/image_ini.h"
#include "tools/image/image_inspect.h"

namespace {

class IniGenerator {
 public:
  // |compact|: short strings, for the 256 bytes of an upper-half OTP image.
  IniGenerator(uint32_t seed, bool compact) : random_(seed), compact_(compact) {}

  // A valid INI file with every key drawn at random within what its section accepts.
  std::string Next(uint32_t otp_signature) {
    text_.clear();
    Identity();
    Hardware();
    Optional(otp_signature);
    return text_;
  }

 private:
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool Coin() { return Pick(0, 1) == 1; }
  void Line(const std::string& line) { text_ += line + "\n"; }
  void Key(const char* key, const std::string& value) { Line(std::string(key) + " = " + value); }
  void Decimal(const char* key, int value) { Key(key, std::to_string(value)); }
  void Hex(const char* key, uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    Key(key, text);
  }
  uint32_t Word() { return static_cast<uint32_t>(random_()); }
  // Printable text with inner and trailing blanks, sometimes bytes above 0x7F.
  std::string Text(int max_length) {
    std::string text(1, static_cast<char>(Pick('A', 'Z')));
    const int length = Pick(0, max_length - 1);
    for (int i = 0; i < length; ++i) {
      const int kind = Pick(0, 9);
      text += static_cast<char>(kind == 0 ? ' ' : kind == 1 ? Pick(0x80, 0xFF) : Pick(0x21, 0x7E));
    }
    return text;
  }

  void Identity() {
    char mac[32];
    std::snprintf(mac, sizeof mac, "%02X:%02X:%02X:%02X:%02X:%02X", Pick(0, 255), Pick(0, 255),
                  Pick(0, 255), Pick(0, 255), Pick(0, 255), Pick(0, 255));
    Line("[MacAddress]");
    Key("CurrentMacAddress", mac);
    Key("MaximumMacAddress", "02:00:00:FF:FF:FF");
    Decimal("MacAddressIncrement", Pick(1, 255));
    Line("[SerialNumber]");
    std::string serial;
    for (int i = Pick(1, compact_ ? 4 : 16); i > 0; --i)
      serial += "0123456789ABCDEFxyz-"[Pick(0, 19)];
    Key("CurrentSerialNumber", serial);
    Key("MaximumSerialNumber", "FFFFFFFFFFFFFFFF");
    Decimal("SerialNumberIncrement", Pick(0, 255));
    Line("[String]");
    const char* strings[] = {"Manufacturer", "Product", "Configuration", "Interface"};
    for (const char* name : strings) {
      const bool enabled = Pick(0, 2) != 0;
      if (enabled || Coin()) Key((std::string(name) + "String").c_str(), Text(compact_ ? 3 : 24));
      Decimal((std::string(name) + "Enable").c_str(), enabled ? 1 : 0);
    }
    Line("[ID]");
    Hex("VendorID", static_cast<uint32_t>(Pick(1, 0xFFFF)), 4);
    Hex("ProductID", static_cast<uint32_t>(Pick(0, 0xFFFF)), 4);
    Key("BcdDevice", std::to_string(Pick(0, 9999)));
    Line("[Power]");
    Decimal("HSMaxPower", 2 * Pick(0, 250));
    if (Coin()) Decimal("SSMaxPower", Coin() ? 0 : 8 * Pick(1, 112));
  }

  void Hardware() {
    const char* pme0[] = {"GPIOPMEEnable",        "GPIOPMEConfiguration", "GPIOPMELength",
                          "GPIOPMEPolarity",      "GPIOBufferType",       "GPIOPMEWOLSelect",
                          "PMEMagicPacketEnable", "PMEPerfectDAEnable"};
    Line("[GPIOPME0]");
    for (const char* key : pme0) Decimal(key, Pick(0, 1));
    const char* pme1[] = {"GPIOConnectBufferType", "GPIOConnectEnable", "GPIOConnectPolarity",
                          "PMEWUFFEnable"};
    Line("[GPIOPME1]");
    for (const char* key : pme1) Decimal(key, Pick(0, 1));
    const char* led0[] = {"LED3Enable", "LED2Enable", "LED1Enable", "LED0Enable"};
    Line("[LEDConfig0]");
    for (const char* key : led0) Decimal(key, Pick(0, 1));
    Line("[LEDConfig1]");
    Decimal("LED1Function", Pick(0, 15));
    Decimal("LED0Function", Pick(0, 15));
    Line("[LEDConfig2]");
    Decimal("LED3Function", Pick(0, 15));
    Decimal("LED2Function", Pick(0, 15));
    Line("[LEDBehaviorConfig]");
    Hex("LEDBehavior", static_cast<uint32_t>(Pick(0, 0xFFFF)), 4);
    Line("[GPIOConfig]");
    const uint32_t enable = Word() & 0xFFF;
    const uint32_t direction = Word() & 0xFFF;
    Hex("GPIOEnable", enable, 3);
    Hex("GPIOBuffer", Word() & 0xFFF, 3);
    Hex("GPIODirection", direction, 3);
    Hex("GPIOData", Word() & 0xFFF, 3);
    Hex("GPIOWake", Word() & enable & ~direction, 3);  // only enabled inputs may wake
    Hex("GPIOWakePolarity", Word() & 0xFFF, 3);
    Line("[InterruptPollInterval]");
    Decimal("FSPollInterval", Pick(1, 255));
    Decimal("HSPollInterval", Pick(1, 16));
    Decimal("SSPollInterval", Pick(1, 16));
    Line("[PMEWUFConfiguration]");
    Decimal("FilterAddressType", Pick(0, 2));
    Decimal("FilterPatternOffset", Pick(0, 255));
    std::string pattern;
    for (int i = Pick(1, 60); i > 0; --i) {
      char pair[4];
      std::snprintf(pair, sizeof pair, "%02X", Coin() ? 0 : Pick(0, 255));
      pattern.append(pattern.empty() ? "" : " ").append(pair);
    }
    Key("FilterMaskPattern", pattern);
  }

  void Optional(uint32_t otp_signature) {
    Line("[ConfigFlags0]");
    const bool override = Coin();
    const uint32_t flags0 = Word();
    if (override) Hex("ConfigFlags0Override", flags0, 8);
    if (!override || Coin()) {
      Decimal("SWModeSuspendNSelect", Pick(0, 3));
      Decimal("SWModePolarity", Pick(0, 1));
      Decimal("RemoteWakeupEnable", Pick(0, 1));
      Decimal("SelfPower", Pick(0, 1));
    }
    for (int word = 1; word <= 5; ++word) {
      if (!Coin()) continue;
      Line("[ConfigFlags" + std::to_string(word) + "]");
      Hex(("ConfigFlags" + std::to_string(word) + "Override").c_str(), Word(), 8);
    }
    if (otp_signature != 0) {
      Line("[OtpConfig]");
      Hex("OtpSignature", otp_signature, 2);
    }
    const char* ltm[] = {"LTMBELTIdle0",   "LTMBELTIdle1",     "LTMBELTActive0",
                         "LTMBELTActive1", "LTMBELTInActive0", "LTMBELTInActive1"};
    Line("[LTMBELTConfig]");
    for (const char* key : ltm) {
      if (Pick(0, 3) == 0) Hex(key, Word(), 8);
    }
    if (Coin()) {
      Line("[CommonTestBusConfig]");
      Hex("CommonTestBusIn", Word(), 8);
    }
    Line("[USBTestConfig]");
    if (Coin()) Hex("USB3PllTestBusIn", Word() & 0xFFFF, 4);
    if (Coin()) Hex("USB2AFETestBusIn", Word() & 0xFF, 2);
    if (Coin()) Hex("USB3AFETestBusIn0", Word(), 8);
    if (Coin()) Hex("USB3AFETestBusIn1", Word(), 8);
    if (Coin()) {
      // The LPM bit (0x2) must agree with configuration flags 0 (set unless overridden).
      const bool lpm = !override || (flags0 & 0x4) != 0;
      Line("[USB2ExtensionConfig]");
      Hex("USB2ExtAttributes", (Word() & ~uint32_t{0x2}) | (lpm ? 0x2 : 0), 8);
    }
    Line("[USB3ExtensionConfig]");
    if (Coin()) Hex("SpeedsSupported", Word() & 0xF, 1);
    if (Coin()) Hex("FunctionalitySupport", Word() & 0xF, 1);
    if (Coin()) Hex("U1DevExitLatency", Word() & 0xF, 1);
    if (Coin()) Hex("U2DevExitLatency", Word() & 0xFFF, 3);
  }

  std::mt19937 random_;
  bool compact_;
  std::string text_;
};

struct BuiltImage {
  bool built = false;
  std::string messages;
  std::vector<uint8_t> image;
};

// Loads |ini| and builds its image as offline generation would, of |kind|.
BuiltImage BuildFromIni(const std::string& ini, ImageKind kind) {
  BuiltImage result;
  IniRun run = LoadIniText(ini);
  result.messages = run.output;
  if (run.result != 0) return result;
  DeviceSettings& settings = run.settings;
  if (settings.OtpSignature == 0) settings.OtpSignature = 0xF3;
  CaptureConsole console;
  std::vector<uint8_t> buffer(kImageBufferSize, 0);
  int32_t length = 0;
  const ImageTarget target{.chip_id = 0x5230, .size = kMaxImageBytes};
  result.built = ValidateIniSections(settings, run.state, console) == 0 &&
                 BuildImage(settings, target, buffer.data(), kind, &length, console) == 0;
  result.messages += console.TakeOutput();
  buffer.resize(static_cast<size_t>(length));
  result.image = buffer;
  return result;
}

// The image as its file holds it: the 0xF7 form keeps image bytes 1.. from file offset 0x101.
std::vector<uint8_t> FileForm(const std::vector<uint8_t>& image) {
  if (image[0] != 0xF7) return image;
  std::vector<uint8_t> file(0x101, 0);
  file[0] = image[0];
  file.insert(file.end(), image.begin() + 1, image.end());
  return file;
}

void CheckRoundTrips(ImageKind kind, uint32_t otp_signature, size_t max_image, uint32_t seed) {
  IniGenerator generator(seed, max_image < kMaxImageBytes);
  int checked = 0;
  for (int variant = 0; variant < 150; ++variant) {
    const std::string ini = generator.Next(otp_signature);
    const BuiltImage first = BuildFromIni(ini, kind);
    ASSERT_TRUE(first.built ||
                first.messages.find("greater than EEPROM size") != std::string::npos ||
                first.messages.find("larger than the actual size") != std::string::npos)
        << first.messages << ini;
    if (!first.built || first.image.size() > max_image) continue;  // too long for its memory
    const std::vector<uint8_t> file = FileForm(first.image);
    std::vector<std::string> obstacles;
    const std::string written =
        ImageIniText(InspectImageFile(file.data(), file.size()), &obstacles);
    ASSERT_TRUE(obstacles.empty()) << obstacles.front() << "\n" << ini;
    const BuiltImage second = BuildFromIni(written, kind);
    ASSERT_TRUE(second.built) << second.messages << written;
    ASSERT_EQ(second.image, first.image) << "from\n" << ini << "\nwritten back\n" << written;
    ++checked;
  }
  EXPECT_GE(checked, 75);
}

TEST(ImageRoundTrip, EepromImagesRebuildFromTheirIni) {
  CheckRoundTrips(kImageKindEeprom, 0, 512, 1);
}

TEST(ImageRoundTrip, LowerHalfOtpImagesRebuildFromTheirIni) {
  CheckRoundTrips(kImageKindOtp, 0xF3, 512, 2);
}

TEST(ImageRoundTrip, UpperHalfOtpImagesRebuildFromTheirIni) {
  CheckRoundTrips(kImageKindOtp, 0xF7, 256, 3);
}

}  // namespace
