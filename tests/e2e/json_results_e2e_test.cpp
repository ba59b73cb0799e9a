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

}  // namespace
