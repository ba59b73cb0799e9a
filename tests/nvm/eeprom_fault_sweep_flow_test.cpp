// eeprom_fault_sweep_flow_test.cpp - the EEPROM flows with every driver request faulted in turn: a
// run either ends as the clean run does or fails with a message, the files as they were.
#include <map>
#include <utility>

#include "nvm/eeprom_flow_support.h"
#include "support/fault_sweep.h"

namespace {

class EepromFaultSweep : public EepromFlow {
 protected:
  // The board as found before each run: an EEPROM holding an older image.
  void Prepare(const std::map<std::string, std::string>& files) {
    bench_.SetEeprom(std::vector<uint8_t>(512, 0x5C));
    for (const auto& [name, text] : files) WriteFileText(File(name), text);
  }
  // |failure_code|: the exit code of a run failed at an EEPROM request (1 for the chip's).
  SweepFlow Flow(std::vector<std::string> arguments, std::map<std::string, std::string> files,
                 int failure_code = 9) {
    return {.arguments = std::move(arguments),
            .work_dir = work_.path().string(),
            .prepare = [this, files] { Prepare(files); },
            .exit_codes = {{kCmdReadRegister, 1},
                           {kCmdE2pCommand, failure_code},
                           {kCmdE2pWriteBlock, failure_code},
                           {kCmdE2pReadBlock, failure_code}}};
  }
};

TEST_F(EepromFaultSweep, ProgramFromABinaryFile) {
  const std::vector<uint8_t> image = ImageOf(ExampleIniText());
  SweepRequestFaults(bench_,
                     Flow({"-w", "-b", File("image.bin")},
                          {{"image.bin", std::string(image.begin(), image.begin() + 300)}}));
}

TEST_F(EepromFaultSweep, ProgramFromTheIniFileAndStep) {
  SweepRequestFaults(
      bench_, Flow({"-w", "-i", File("board.ini"), "-s"}, {{"board.ini", ExampleIniText()}}));
}

TEST_F(EepromFaultSweep, ProgramABinaryFileWithTheIniFilesIdentityAndStep) {
  const std::vector<uint8_t> image = ImageOf(ExampleIniText());
  SweepRequestFaults(bench_, Flow({"-w", "-b", File("image.bin"), "-i", File("board.ini"), "-s"},
                                  {{"image.bin", std::string(image.begin(), image.end())},
                                   {"board.ini", ExampleIniText()}}));
}

TEST_F(EepromFaultSweep, ReadAndSave) {
  SweepRequestFaults(bench_,
                     Flow({"-r", "-b", File("saved.bin")}, {{"saved.bin", "an older save"}}, 5));
}

}  // namespace
