// ini_hints_flow_test.cpp - a fault in the INI file keeps its message on standard output and adds
// a hint on standard error naming the file and the line.
#include <algorithm>
#include <string>

#include "nvm/eeprom_flow_support.h"

namespace {

// The line, from 1, on which |text| holds |what|.
int LineOf(const std::string& text, const std::string& what) {
  const size_t at = text.find(what);
  EXPECT_NE(at, std::string::npos) << what;
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'));
}

class IniHints : public EepromFlow {};

TEST_F(IniHints, EachFaultNamesItsFileAndLine) {
  const std::string ini = File("board.ini");
  const std::string parameter_error = "ERROR: Parameter Error (use -h for help)\n";
  const struct {
    std::string from, to, output, where, hint;
  } cases[] = {
      {"VendorID = 0x0E1D", "VendorID = 0x0", "ERROR: Vendor ID cannot be 0\n" + parameter_error,
       "VendorID = 0x0", "the value of VendorID in [ID] is refused"},
      // Checked after the section, when the next header has been read.
      {"LED1Function = 1", "LED1Function = 16",
       "ERROR: LED1Function cannot be greater than 15\n" + parameter_error, "LED1Function = 16",
       "the value of LED1Function in [LEDConfig1] is out of range"},
      {"GPIOWake = 0x000\n", "", "ERROR: The field GPIOWake is missing\n" + parameter_error,
       "[GPIOConfig]", "[GPIOConfig] has no GPIOWake"},
      {"\n[ID]\n", "\n[id]\n",
       "ERROR: Missing [ID] section in the ini file\nERROR: Validated ini file failed\n", "[id]",
       "[id] is not a known section; its lines were skipped\n" + ini +
           ": the file has no [ID] section"},
  };
  for (const auto& c : cases) {
    const std::string text = ExampleIniWith(c.from, c.to);
    WriteFileText(ini, text);
    bench_.console().TakeDiagnostics();
    EXPECT_NE(Run({"-i", ini, "-o", File("image.bin"), "-d", "QNT5230"}), 0) << c.to;
    EXPECT_EQ(Output(), c.output);
    EXPECT_EQ(bench_.console().TakeDiagnostics(),
              ini + ":" + std::to_string(LineOf(text, c.where)) + ": " + c.hint + "\n");
  }
}

}  // namespace
