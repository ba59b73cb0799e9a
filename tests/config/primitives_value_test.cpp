// Tests of the INI value checks and converters.
#include <gtest/gtest.h>

#include <string>

#include "config/user/ini_value.h"
#include "support/capture_console.h"

namespace {

TEST(CheckDecimal, DigitsUpToTheMaximumCutAtABlank) {
  struct Case {
    const char* text;
    int max_digits;
    int expected;
    const char* cut;
  };
  const Case cases[] = {
      {"255", 3, 0, "255"},   {"2555", 3, -1, nullptr}, {"12 # note", 3, 0, "12"},
      {"1\tx", 1, 0, "1"},    {"-1", 3, -1, nullptr},   {"0x1", 3, -1, nullptr},
      {"1a", 3, -1, nullptr}, {"", 3, -1, nullptr},     {"+5", 3, -1, nullptr},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(CheckDecimal(text.data(), c.max_digits), c.expected) << c.text;
    if (c.cut != nullptr) {
      EXPECT_STREQ(text.c_str(), c.cut);
    }
  }
}

TEST(CheckHex, PrefixAndDigitsWithinTheMaximumLength) {
  struct Case {
    const char* text;
    int max_length;
    int expected;
  };
  const Case cases[] = {
      {"0xFFF", 5, 0},         {"0xFFFF", 5, -1}, {"0X1a", 4, 0},         {"0x", 3, 0},
      {"FF", 5, -1},           {"0xG", 5, -1},    {"0x12 comment", 5, 0}, {"0xFFFFFFFF", 10, 0},
      {"0x123456789", 10, -1}, {"x12", 5, -1},    {"0", 5, -1},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(CheckHex(text.data(), c.max_length), c.expected) << c.text;
  }
}

TEST(HexValue, ConvertsCheckedTexts) {
  EXPECT_EQ(HexValue("0xFFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_EQ(HexValue("0x"), 0u);
  EXPECT_EQ(HexValue("0Xa1"), 0xA1u);
  EXPECT_EQ(DecimalValue("0255"), 255u);
}

TEST(ParseHex16, WholeTextAtMostSixCharacters) {
  struct Case {
    const char* text;
    int expected;
    uint16_t value;
  };
  const Case cases[] = {
      {"0x0E1D", 0, 0x0E1D}, {"0X1", 0, 0x1},     {"0x", 0, 0},
      {"0x1 ", 0, 0x1},      {"0x0E1D #", -1, 0}, {"0x12345", -1, 0},
      {"0E1D", -1, 0},       {"0x1G", -1, 0},     {"0x0E1D ", -1, 0},
  };
  for (const Case& c : cases) {
    uint16_t value = 0xBEEF;
    EXPECT_EQ(ParseHex16(c.text, value), c.expected) << c.text;
    EXPECT_EQ(value, c.expected == 0 ? c.value : 0xBEEF) << c.text;
  }
}

TEST(ParseMacAddress, SixGroupsWithColonsOrHyphensAndNothingAfter) {
  MacAddress address{};
  EXPECT_EQ(ParseMacAddress("00:11:22:aa:BB:ff", address), 0);
  EXPECT_EQ(address, (MacAddress{0x00, 0x11, 0x22, 0xAA, 0xBB, 0xFF}));
  EXPECT_EQ(ParseMacAddress("01-23:45-67:89-AB", address), 0);
  EXPECT_EQ(address, (MacAddress{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB}));

  const MacAddress before = address;
  for (const char* bad : {"00:11:22:33:44:55 ", "00:11:22:33:44", "00:11:22:33:44:5",
                          "000:11:22:33:44:55", "00.11.22.33.44.55", "0", "",
                          "00:11:22:33:44:", "00:11:22:33:44:55:66", "0g:11:22:33:44:55"}) {
    EXPECT_EQ(ParseMacAddress(bad, address), -1) << bad;
    EXPECT_EQ(address, before) << bad;
  }
}

TEST(HexDigitValue, DigitsAndLettersOfBothCases) {
  EXPECT_EQ(HexDigitValue('0'), 0);
  EXPECT_EQ(HexDigitValue('9'), 9);
  EXPECT_EQ(HexDigitValue('a'), 10);
  EXPECT_EQ(HexDigitValue('F'), 15);
  EXPECT_EQ(HexDigitValue('g'), -1);
  EXPECT_EQ(HexDigitValue('\0'), -1);
}

TEST(ParseEnableDigit, OneDigitOrAnErrorWithTheKeysMessage) {
  CaptureConsole console;
  KeyState state = KeyState::kAbsent;
  int32_t field = 7;
  std::string text = "1 trailing";
  EXPECT_EQ(ParseEnableDigit(text.data(), state, field, "bad\n", console), 0);
  EXPECT_EQ(field, 1);
  EXPECT_EQ(state, KeyState::kValid);
  EXPECT_EQ(console.TakeOutput(), "");

  text = "12";
  EXPECT_EQ(ParseEnableDigit(text.data(), state, field, "bad\n", console), -1);
  EXPECT_EQ(field, 1);
  EXPECT_EQ(state, KeyState::kInvalid);
  EXPECT_EQ(console.TakeOutput(), "ERROR: bad\n");
}

}  // namespace
