// record_command.h - qnt5200-record's command line and its run: which report of which record,
// read through the user-file service, printed on standard output or written as a page;
// complaints on standard error.
#pragma once

#include <string>
#include <vector>

struct RecordCommand {
  enum class Kind { kHelp, kSummary, kCheck, kReport } kind = Kind::kHelp;
  std::string record;
  std::string ini;     // empty: none named
  std::string output;  // the report page's file
  bool json = false;
};

// The words after the program's name. False after a message on standard error.
bool ParseRecordCommand(const std::vector<std::string>& words, RecordCommand* command);

// Runs |command|; returns the exit code.
int RunRecordCommand(const RecordCommand& command);

extern const char kRecordToolUsage[];
