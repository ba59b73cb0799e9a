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
       "[id] is not a known section; its lines were skipped (the section is spelt [ID])\n" + ini +
           ": the file has no [ID] section"},
      // Read as no header at all: the section is missing, and the line says why.
      {"\n[ID]\n", "\n[ID] \n",
       "ERROR: Missing [ID] section in the ini file\nERROR: Validated ini file failed\n", "[ID] ",
       "[ID] is not read as a section header, as blanks follow its \"]\"; its lines were "
       "skipped\n" +
           ini + ": the file has no [ID] section"},
      // Keys checked against each other once the whole file is read.
      {"GPIOWake = 0x000", "GPIOWake = 0x004",
       "ERROR: When GPIOWake is enabled for perticular GPIO the GPIOEnable need to be set for "
       "that GPIO\n" +
           parameter_error,
       "GPIOWake = 0x004", "GPIOWake in [GPIOConfig] wakes GPIO 2, which GPIOEnable leaves off"},
      {"#[USB2ExtensionConfig]\n#USB2ExtAttributes = 0x0000010E",
       "[USB2ExtensionConfig]\nUSB2ExtAttributes = 0x0000010C",
       "ERROR: By default LPM is set. This LMP setting do not match with the USB2ExtAttributes "
       "LPM setting\nERROR: Validated ini file failed\n",
       "USB2ExtAttributes = 0x0000010C",
       "USB2ExtAttributes in [USB2ExtensionConfig] turns LPM off, which is on without "
       "ConfigFlags0Override"},
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
