// program_version_e2e_test.cpp - --version and --help of every program: the version the build
// was configured with, the commit, exit code 0; and both only as the whole command line.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>

#include "common/exit_codes.h"
#include "support/end_to_end.h"

namespace {

class ProgramVersion : public EndToEnd {
 protected:
  ProgramRun Image(const std::string& arguments) {
    return RunImageTool(arguments, work_.path().string());
  }

  // "<program> <version> (commit <commit>)": the commit a git checkout's, or "unknown".
  static void ExpectVersionLine(const ProgramRun& run, const std::string& program) {
    const std::string start = program + " " + QNT_CMAKE_VERSION + " (commit ";
    ASSERT_EQ(run.output.rfind(start, 0), 0u) << run.output;
    const std::regex commit("([0-9a-f]{7,}(-dirty)?|unknown)\\)\n");
    EXPECT_TRUE(std::regex_match(run.output.substr(start.size()), commit)) << run.output;
    EXPECT_EQ(run.exit_code, 0) << program;
  }
};

TEST_F(ProgramVersion, EachProgramPrintsTheBuildVersionAndCommit) {
  ExpectVersionLine(Run("--version"), "5200WinCmd");
  ExpectVersionLine(Image("--version"), "qnt5200-image");
  ExpectVersionLine(ToolRun("--version"), "qnt5200-emu");
  ExpectVersionLine(RunRecordTool("--version", work_.path().string()), "qnt5200-record");
}

// A station's script reads nothing but the exit code: --help lists every one of them.
TEST_F(ProgramVersion, HelpIsTheUsageTextThenEveryExitCode) {
  const ProgramRun help = Run("--help");
  EXPECT_EQ(help.exit_code, 0);
  const std::string usage = Run("-h").output;
  ASSERT_EQ(help.output.rfind(usage + "Exit codes (-1 is 255 in a POSIX shell):\n", 0), 0u);
  for (int code = -1; code <= 13; ++code) {
    char line[64];
    std::snprintf(line, sizeof line, "\n%4d  %s: ", code, ExitCodeMeaning(code));
    EXPECT_NE(help.output.find(line), std::string::npos) << code;
  }
  for (const ProgramRun& tool :
       {Image("--help"), ToolRun("--help"), RunRecordTool("--help", work_.path().string())}) {
    EXPECT_EQ(tool.exit_code, 0);
    const size_t codes = tool.output.find("\nExit codes:\n  0  ");
    ASSERT_NE(codes, std::string::npos) << tool.output;
    EXPECT_NE(tool.output.find("\n  1  ", codes), std::string::npos) << tool.output;
    EXPECT_NE(tool.output.find("\n  2  ", codes), std::string::npos) << tool.output;
  }
}

TEST_F(ProgramVersion, WithOtherArgumentsTheyAreOptionsLikeAnyOther) {
  const ProgramRun run = Run("--version -r");
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_EQ(run.output, banner_ +
                            "ERROR: Invalid parameters:-\nERROR: Please use -h to display usage\n"
                            "ERROR: Parameter Error (use -h for help)\n");
  EXPECT_EQ(Run("--help -r").output, run.output);
}

}  // namespace
