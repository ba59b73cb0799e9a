// run_program.h - running the built binaries from end-to-end tests.
#pragma once

#include <functional>
#include <string>

struct ProgramRun {
  std::string output;        // standard output
  int exit_code = 0;         // as the shell sees it: -1 is 255
  std::string error_output;  // standard error, when collected apart
};

// Runs the utility with |arguments| (shell words) against the emulated adapters in |emu_dir|,
// in |work_dir| as the current directory, with |input| on standard input.
ProgramRun RunUtility(const std::string& emu_dir, const std::string& arguments,
                      const std::string& work_dir = ".", const std::string& input = "");
// The same with standard error collected apart, in |error_output|.
ProgramRun RunUtilityApart(const std::string& emu_dir, const std::string& arguments,
                           const std::string& work_dir);
// Runs the utility as RunUtility does (no input) and calls |action| once its output holds |text|,
// while it goes on running: another station's doings while this one waits. |*seen| tells whether
// the text came before the run ended.
ProgramRun RunUtilityActingOn(const std::string& emu_dir, const std::string& arguments,
                              const std::string& work_dir, const std::string& text,
                              const std::function<void()>& action, bool* seen);
// Runs qnt5200-image with |arguments| in |work_dir|; standard error is collected too.
ProgramRun RunImageTool(const std::string& arguments, const std::string& work_dir);
// Runs qnt5200-record with |arguments| in |work_dir|; standard output alone, so that a JSON
// document is seen as a reader of it sees it.
ProgramRun RunRecordTool(const std::string& arguments, const std::string& work_dir);
// The same with standard error collected too.
ProgramRun RunRecordToolWithErrors(const std::string& arguments, const std::string& work_dir);
// Runs the shell |command| in |work_dir|; standard error is collected too.
ProgramRun RunShellIn(const std::string& work_dir, const std::string& command);
// |text| as one word of the shell.
std::string Quote(const std::string& text);
// Runs |command| through the shell; its standard output is collected.
ProgramRun RunShell(const std::string& command);
// Runs the emulator tool with |arguments| on the adapters in |emu_dir|.
ProgramRun RunEmuTool(const std::string& emu_dir, const std::string& arguments);

// The utility's output with its build-time line replaced by " (Built at <time> on <date>)", so it
// can be compared with a fixed transcript.
std::string MaskBuildLine(const std::string& output);
// The banner every run prints first, with the build line masked.
std::string BannerText();
// The contents of a file, or "" when it cannot be read.
std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& text);
