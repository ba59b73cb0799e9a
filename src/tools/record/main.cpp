// main.cpp - qnt5200-record: answers a production line's questions from the per-board record that
// 5200WinCmd -t keeps: what was programmed and how fast, and whether any identity went wrong.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/record/record_command.h"
#include "tools/record/record_report.h"
#include "version/build_version.h"

int main(int argc, char** argv) {
  const std::vector<std::string> words(argv + 1, argv + argc);
  if (words.size() == 1 && words[0] == "--version") {
    std::printf("%s\n", VersionLine("qnt5200-record").c_str());
    return kRecordToolDone;
  }
  RecordCommand command;
  if (!ParseRecordCommand(words, &command)) return kRecordToolBadInput;
  return RunRecordCommand(command);
}
