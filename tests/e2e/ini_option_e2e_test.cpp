// The built utility with an INI file (-i): a valid file lets the run go on to open the device,
// a faulty one ends it with the loader's or the GPIO wake check's message.
#include <gtest/gtest.h>

#include <string>

#include "support/end_to_end.h"

namespace {

constexpr char kParameterError[] = "ERROR: Parameter Error (use -h for help)\n";

// No adapters: a run that passes the loader ends at opening the device.
class IniOption : public EndToEnd {
 protected:
  void WriteIni(const std::string& name, const std::string& text) {
    WriteFileText(work_.File(name), text);
  }
};

TEST_F(IniOption, ExampleBoardFileLoadsAndTheRunGoesOnToTheDevice) {
  const ProgramRun run = Run("-w -i '" QNT_SOURCE_DIR "/examples/board.ini'");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.output, banner_ + NoDevice());
}

TEST_F(IniOption, FaultyFilesEndTheRunWithTheirMessage) {
  struct Case {
    const char* name;
    std::string text;
    int exit_code;
    std::string output;
  };
  const Case cases[] = {
      {"vendor.ini", "[ID]\r\nVendorID = 0x0\r\n", 3,
       std::string("ERROR: Vendor ID cannot be 0\n"
                   "vendor.ini:2: the value of VendorID in [ID] is refused\n") +
           kParameterError},
      {"wake.ini",
       "[GPIOConfig]\nGPIOEnable = 0x001\nGPIOBuffer = 0x0\nGPIODirection = 0x001\n"
       "GPIOData = 0x0\nGPIOWake = 0x001\nGPIOWakePolarity = 0x0\n",
       255,
       std::string("ERROR: When GPIOWake is enabled for perticular GPIO the GPIODirection need "
                   "to be set as Input for that GPIO\n"
                   "wake.ini:6: GPIOWake in [GPIOConfig] wakes GPIO 0, which GPIODirection "
                   "makes an output\n") +
           kParameterError},
      // The load fails and the wake check fails too: the wake check's code wins.
      {"both.ini", "[GPIOConfig]\nGPIOWake = 0x001\nGPIOEnable = 0x000\n[ID]\nVendorID = 0x0\n",
       255,
       std::string("ERROR: The field GPIOBuffer is missing\nERROR: The field GPIODirection is "
                   "missing\nERROR: The field GPIOData is missing\nERROR: The field "
                   "GPIOWakePolarity is missing\n"
                   "both.ini:1: [GPIOConfig] has no GPIOBuffer\n"
                   "both.ini:1: [GPIOConfig] has no GPIODirection\n"
                   "both.ini:1: [GPIOConfig] has no GPIOData\n"
                   "both.ini:1: [GPIOConfig] has no GPIOWakePolarity\n"
                   "ERROR: When GPIOWake is enabled for perticular "
                   "GPIO the GPIOEnable need to be set for that GPIO\n"
                   "both.ini:2: GPIOWake in [GPIOConfig] wakes GPIO 0, which GPIOEnable leaves "
                   "off\n") +
           kParameterError},
  };
  for (const Case& c : cases) {
    WriteIni(c.name, c.text);
    const ProgramRun run = Run(std::string("-w -i ") + c.name);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.name;
    EXPECT_EQ(run.output, banner_ + c.output) << c.name;
  }
}

TEST_F(IniOption, MissingFileIsReported) {
  const ProgramRun run = Run("-w -i nothere.ini");
  EXPECT_EQ(run.exit_code, 3);
  // Standard error gives the system's reason.
  EXPECT_EQ(run.output, banner_ + "The file nothere.ini is not found\n" +
                            "nothere.ini: No such file or directory\n" + kParameterError);
}

}  // namespace
