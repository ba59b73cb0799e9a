// main.cpp - qnt5200-record: answers a production line's questions from the per-board record that
// 5200WinCmd -t keeps: what was programmed and how fast, and whether any identity went wrong.
#include <string>
#include <vector>

#include "tools/record/record_command.h"
#include "tools/record/record_report.h"

int main(int argc, char** argv) {
  const std::vector<std::string> words(argv + 1, argv + argc);
  RecordCommand command;
  if (!ParseRecordCommand(words, &command)) return kRecordToolBadInput;
  return RunRecordCommand(command);
}
