// end_to_end.h - the fixture of the end-to-end tests: an emulator directory for the adapters, a
// work directory that is the current directory of every run, runs of the built utility with its
// build line masked, and the emulator tool on the same adapters.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/run_program.h"
#include "support/temp_dir.h"

class EndToEnd : public ::testing::Test {
 protected:
  // The utility with |arguments| (shell words) and |input| on standard input.
  ProgramRun Run(const std::string& arguments, const std::string& input = "") {
    return RunOn(EmuDir(), arguments, input);
  }
  // The same on the adapters of another emulator directory.
  ProgramRun RunOn(const std::string& emu_dir, const std::string& arguments,
                   const std::string& input = "") {
    ProgramRun run = RunUtility(emu_dir, arguments, work_.path().string(), input);
    run.output = MaskBuildLine(run.output);
    return run;
  }
  // The emulator tool with |arguments|.
  ProgramRun ToolRun(const std::string& arguments) { return RunEmuTool(EmuDir(), arguments); }
  // The same where the command must succeed: a failing one fails the test.
  void Tool(const std::string& arguments) {
    const ProgramRun run = ToolRun(arguments);
    ASSERT_EQ(run.exit_code, 0) << arguments << "\n" << run.output;
  }
  // The request log as the emulator tool prints it.
  std::string Log() { return RunEmuTool(EmuDir(), "log").output; }

  std::string EmuDir() const { return emu_.path().string(); }
  // What a run prints that finds no adapter in EmuDir(): the error, then the emulator's hint.
  std::string NoDevice() const {
    return "ERROR: CreateFile failed!  Device Not Found\nqnt5200-emu: no emulated adapter in " +
           EmuDir() +
           "; make one with \"qnt5200-emu create\" (the directory is $QNT5200_EMU_DIR, else "
           "$XDG_STATE_HOME/qnt5200-emu, else ~/.local/state/qnt5200-emu)\n";
  }
  std::string File(const std::string& name) const { return work_.File(name); }

  const std::string banner_ = BannerText();
  TempDir emu_;
  TempDir work_;
};
