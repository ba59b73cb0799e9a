// firmware_options_test.cpp - -f and -m: the operation each mode chooses in either order, their
// messages and codes, and where the check of a mode without a file stands among the final checks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "parse_helper.h"

namespace {

TEST(FirmwareOptions, ModeChoosesTheOperationInEitherOrder) {
  struct Case {
    std::vector<std::string> words;
    uint32_t operation;
  };
  const Case cases[] = {
      {{"-f", "fw.bin"}, 12},
      {{"-f", "fw.bin", "-m", "load"}, 12},
      {{"-f", "fw.bin", "-m", "verify"}, 13},
      {{"-m", "reset", "-f", "fw.bin"}, 14},
      {{"-m", "param", "-f", "fw.bin"}, 15},
      {{"-f", "fw.bin", "-m", "param"}, 15},
      // -V takes over whatever was chosen before it; a later mode leaves it.
      {{"-f", "fw.bin", "-V", "-m", "reset"}, 11},
  };
  for (const Case& c : cases) {
    const Parsed parsed = Parse(c.words);
    EXPECT_EQ(parsed.result, 0) << c.words[1] << parsed.output;
    EXPECT_EQ(parsed.options->Operation, c.operation) << c.words.back();
    EXPECT_STREQ(parsed.options->FirmwareFileName.get(), "fw.bin");
  }
}

TEST(FirmwareOptions, ReportsEachErrorWithItsCode) {
  struct Case {
    std::vector<std::string> words;
    const char* output;
  };
  const Case cases[] = {
      {{"-f"}, "ERROR: No firmware file name is specified after -f\n"},
      {{"-f", "-m", "load"}, "ERROR: No firmware file name is specified after -f\n"},
      {{"-b", "a.bin", "-f", "fw.bin"},
       "ERROR: Only one of options(-b, -i, -f) could be specified \n"},
      {{"-i", "a.ini", "-f", "fw.bin"},
       "ERROR: Only one of options(-b, -i, -f) could be specified \n"},
      {{"-f", "fw.bin", "-i", "a.ini"},
       "ERROR: Only one of options(-b, -i, -f) could be specified \n"},
      {{"-r", "-f", "fw.bin"}, "ERROR: Only one of options could be specified\n"},
      {{"-f", "fw.bin", "-f", "fw.bin"}, "ERROR: Only one of options could be specified\n"},
      {{"-f", "fw.bin", "-w"}, "ERROR: Only one of options(-w, -r) could be specified \n"},
      {{"-f", "fw.bin", "-m"}, "ERROR: Firmware mode should be specified after option -m\n"},
      {{"-m", "Load", "-f", "fw.bin"},
       "ERROR: Firmware mode should be load, verify, reset or param\n"},
      {{"-r", "-m", "verify"}, "ERROR: Firmware mode needs a firmware file (-f)\n"},
  };
  for (const Case& c : cases) {
    const Parsed parsed = Parse(c.words);
    EXPECT_EQ(parsed.result, 3) << c.output;
    EXPECT_EQ(parsed.output, c.output);
  }
}

TEST(FirmwareOptions, ModeWithoutFileIsCheckedAfterTheOtherFinalChecks) {
  // A run with no operation is refused for that first; a direct access never reaches the check.
  EXPECT_EQ(Parse({"-m", "load"}).output,
            "ERROR: One of options -w, -r, -l, -L, -p, -G, -k should be declared\n");
  EXPECT_EQ(Parse({"-w", "-m", "load"}).output,
            "ERROR: file name must be specified (-b binary file) after option -w\n");
  EXPECT_EQ(Parse({"-R", "0", "-m", "load"}).result, 0);
}

}  // namespace
