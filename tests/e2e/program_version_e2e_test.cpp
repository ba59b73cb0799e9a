// program_version_e2e_test.cpp - --version and --help of every program: the version the build
// was configured with, the commit, exit code 0; and both only as the whole command line.
#include <gtest/gtest.h>

#include <regex>
#include <string>

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

TEST_F(ProgramVersion, HelpIsTheUsageTextAndTheLongOptions) {
  const ProgramRun help = Run("--help");
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_EQ(help.output, Run("-h").output +
                             "-a                   Write the results as one JSON document on "
                             "standard output and\n                     the text on standard error "
                             "(put it first).\n"
                             "--help               Displays this usage information.\n"
                             "--version            Displays the version and the commit of this "
                             "build.\n");
  EXPECT_EQ(Image("--help").exit_code, 0);
  const ProgramRun emu_help = ToolRun("--help");
  EXPECT_EQ(emu_help.exit_code, 0);
  EXPECT_NE(emu_help.output.find("  qnt5200-emu --help | --version\n"), std::string::npos);
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
