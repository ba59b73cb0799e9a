// run_program.cpp - runs the utility and the emulator tool through the shell and collects what
// they print.
#include "support/run_program.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

ProgramRun RunShell(const std::string& command) {
  ProgramRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    run.exit_code = -1000;
    return run;
  }
  char buffer[4096];
  size_t count = 0;
  while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, count);
  const int status = pclose(pipe);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1000;
  return run;
}

ProgramRun RunUtility(const std::string& emu_dir, const std::string& arguments,
                      const std::string& work_dir, const std::string& input) {
  std::string command = "cd " + Quote(work_dir) + " && QNT5200_EMU_DIR=" + Quote(emu_dir) + " " +
                        Quote(QNT_TOOL_PATH) + " " + arguments;
  if (input.empty()) {
    command += " </dev/null";
  } else {
    command = "printf '%s' " + Quote(input) + " | (" + command + ")";
  }
  return RunShell(command + " 2>&1");
}

ProgramRun RunUtilityActingOn(const std::string& emu_dir, const std::string& arguments,
                              const std::string& work_dir, const std::string& text,
                              const std::function<void()>& action, bool* seen) {
  ProgramRun run;
  const std::string command = "cd " + Quote(work_dir) + " && QNT5200_EMU_DIR=" + Quote(emu_dir) +
                              " " + Quote(QNT_TOOL_PATH) + " " + arguments + " </dev/null 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {.exit_code = -1000};
  *seen = false;
  // Line by line: a read that waits for a full buffer would wait for the run, which waits for
  // the action.
  char line[512];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    run.output += line;
    if (!*seen && run.output.find(text) != std::string::npos) {
      *seen = true;
      action();
    }
  }
  const int status = pclose(pipe);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1000;
  return run;
}

ProgramRun RunUtilityApart(const std::string& emu_dir, const std::string& arguments,
                           const std::string& work_dir) {
  char error_path[] = "/tmp/qnt-stderr-XXXXXX";
  const int error_file = mkstemp(error_path);
  if (error_file < 0) return {.exit_code = -1000};
  close(error_file);
  ProgramRun run =
      RunShell("cd " + Quote(work_dir) + " && QNT5200_EMU_DIR=" + Quote(emu_dir) + " " +
               Quote(QNT_TOOL_PATH) + " " + arguments + " </dev/null 2>" + Quote(error_path));
  run.error_output = ReadFileText(error_path);
  std::remove(error_path);
  return run;
}

ProgramRun RunImageTool(const std::string& arguments, const std::string& work_dir) {
  return RunShell("cd " + Quote(work_dir) + " && " + Quote(QNT_IMAGE_TOOL_PATH) + " " + arguments +
                  " </dev/null 2>&1");
}

ProgramRun RunRecordTool(const std::string& arguments, const std::string& work_dir) {
  return RunShell("cd " + Quote(work_dir) + " && " + Quote(QNT_RECORD_TOOL_PATH) + " " + arguments +
                  " </dev/null 2>/dev/null");
}

ProgramRun RunShellIn(const std::string& work_dir, const std::string& command) {
  return RunShell("cd " + Quote(work_dir) + " && " + command + " </dev/null 2>&1");
}

ProgramRun RunRecordToolWithErrors(const std::string& arguments, const std::string& work_dir) {
  return RunShellIn(work_dir, Quote(QNT_RECORD_TOOL_PATH) + " " + arguments);
}

ProgramRun RunEmuTool(const std::string& emu_dir, const std::string& arguments) {
  return RunShell("QNT5200_EMU_DIR=" + Quote(emu_dir) + " " + Quote(QNT_EMU_TOOL_PATH) + " " +
                  arguments + " </dev/null 2>&1");
}

std::string MaskBuildLine(const std::string& output) {
  static const std::string kStart = " (Built at ";
  const size_t start = output.find(kStart);
  if (start == std::string::npos) return output;
  const size_t end = output.find(")\n", start);
  if (end == std::string::npos) return output;
  return output.substr(0, start) + " (Built at <time> on <date>" + output.substr(end);
}

std::string BannerText() {
  return "\n 5200 Windows Command Line Utility v1.4.0.0 (11/02/2018)\n"
         " (Built at <time> on <date>)\n\n\n";
}

std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFileText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}
