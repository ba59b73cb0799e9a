// json_results_e2e_test.cpp - the built utility with -a: standard output is the JSON document
// alone, standard error the text the run prints without -a, and the exit code that of the run.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/end_to_end.h"

namespace {

class JsonResults : public EndToEnd {};

TEST_F(JsonResults, FailingRunSplitsDocumentAndText) {
  Tool("create");
  Tool("fault --command 8 --skip 1 --status 1");
  const ProgramRun run = RunUtilityApart(EmuDir(), "-a -R 4", File(""));
  EXPECT_EQ(run.exit_code, 6);
  EXPECT_EQ(MaskBuildLine(run.error_output),
            banner_ + "ERROR: READ_REGISTER failed !    status:Access failed\n");
  ASSERT_TRUE(nlohmann::json::accept(run.output)) << run.output;
  const nlohmann::json doc = nlohmann::json::parse(run.output);
  EXPECT_EQ(doc["exit_code"], 6);
  EXPECT_EQ(doc["operations"], nlohmann::json({"read_register"}));
  EXPECT_EQ(run.output.back(), '\n');
  EXPECT_EQ(run.output.front(), '{');
}

// exit_code is the status the shell gets: -1 arrives as 255.
TEST_F(JsonResults, ExitCodeIsWhatTheCallerReceives) {
  Tool("create");
  WriteFileText(File("board.ini"),
                ReadFileText(std::string(QNT_SOURCE_DIR) + "/examples/board.ini"));
  // The first image takes more than the OTP's lower half, so the next one has no room.
  const std::string write = "-a -O -w -i board.ini -C YES -s";
  EXPECT_EQ(RunUtilityApart(EmuDir(), write, File("")).exit_code, 0);
  const ProgramRun run = RunUtilityApart(EmuDir(), write, File(""));
  EXPECT_EQ(run.exit_code, 255);
  const nlohmann::json doc = nlohmann::json::parse(run.output);
  EXPECT_EQ(doc["exit_code"], 255);
  EXPECT_EQ(doc["error"], "OTP already using 302 bytes. Cannot write OTP");
}

}  // namespace
