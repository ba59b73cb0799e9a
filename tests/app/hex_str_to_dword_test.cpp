// The hexadecimal converter's accepted forms and its own error lines.
#include "app/hex_str_to_dword.h"

#include <gtest/gtest.h>

#include "support/capture_console.h"

namespace {

constexpr char kBells[] = "\a\a\a\a\a\a\a\a";

struct HexCase {
  const char* text;
  bool ok;
  uint32_t value;       // stored value (checked when stored)
  bool stored;          // whether the value was stored
  const char* message;  // after the bells, when it fails
};

const HexCase kCases[] = {
    {"0", true, 0, true, ""},
    {"1234", true, 0x1234, true, ""},
    {"0x1234abCD", true, 0x1234ABCD, true, ""},
    {"0X10", true, 0x10, true, ""},
    {"1x5", true, 0x15, true, ""},
    {"FFFF_0000", true, 0xFFFF0000, true, ""},
    {"0xFFFF_000", true, 0xFFFF000, true, ""},
    {"00000000FF", false, 0xFF, true, "  ERROR:  HexStrToDword:  bad #digits =9 (s/b <= 8)\n"},
    {"", false, 0, false, "  ERROR:  HexStrToDword:  empty string\n"},
    {"0x1234_5678", false, 0, false, "  ERROR:  HexStrToDword:  bad strlen=11\n"},
    {"12345678_", false, 0, false,
     "  ERROR:  HexStrToDword, underscore must be between upper/lower words\n"},
    {"12_34", false, 0, false,
     "  ERROR:  HexStrToDword, underscore must be between upper/lower words\n"},
    {"g", false, 0, false, "  ERROR:  HexStrToDword, bad char szBuf[0]=0x67\n"},
    {"12\xE9", false, 0, false, "  ERROR:  HexStrToDword, bad char szBuf[2]=0xE9\n"},
    {"0x", false, 0, true, "  ERROR:  HexStrToDword:  bad #digits =0 (s/b <= 8)\n"},
    {"123456789", false, 0x23456789, true, "  ERROR:  HexStrToDword:  bad #digits =9 (s/b <= 8)\n"},
};

TEST(HexStrToDword, ConvertsAndReportsAsDocumented) {
  for (const HexCase& c : kCases) {
    CaptureConsole console;
    uint32_t value = 0xDEADBEEF;
    EXPECT_EQ(HexStrToDword(c.text, &value, console), c.ok) << c.text;
    if (c.stored) {
      EXPECT_EQ(value, c.value) << c.text;
    } else if (!c.ok) {
      EXPECT_EQ(value, 0xDEADBEEFu) << c.text;
    }
    const std::string expected = c.ok ? "" : std::string(kBells) + c.message;
    EXPECT_EQ(console.output(), expected) << c.text;
  }
}

TEST(HexStrToDword, LeadingZeroIsSkippedOnlyBeforeOtherCharacters) {
  CaptureConsole console;
  uint32_t value = 1;
  EXPECT_TRUE(HexStrToDword("00", &value, console));
  EXPECT_EQ(value, 0u);
  EXPECT_FALSE(HexStrToDword("x1", &value, console));
  EXPECT_EQ(console.output(),
            std::string(kBells) + "  ERROR:  HexStrToDword, bad char szBuf[0]=0x78\n");
}

}  // namespace
