// record_command.cpp - the command line of qnt5200-record and the reading of its files.
#include "tools/record/record_command.h"

#include <cstdio>

#include "config/ini_loader.h"
#include "format/record_reader.h"
#include "platform/user_file.h"
#include "tools/record/error_console.h"
#include "tools/record/record_json.h"
#include "tools/record/record_report.h"

const char kRecordToolUsage[] =
    "Usage: qnt5200-record summary RECORD [--ini INI] [--json]\n"
    "                      boards programmed, failed and refused runs by exit code, boards per\n"
    "                      hour per station, the MAC addresses used; with --ini, the MAC\n"
    "                      addresses and serial numbers left in the INI file's ranges\n"
    "       qnt5200-record check RECORD [--ini INI] [--json]\n"
    "                      every MAC address or serial number on two boards and every run of\n"
    "                      unknown outcome (exit 1 when there is any); with --ini, a serial\n"
    "                      number the INI file does not step is not checked\n"
    "       qnt5200-record --help      this text\n"
    "       qnt5200-record --version   the version and the commit of this build\n"
    "--json prints one JSON document instead of the text.\n"
    "Exit codes:\n"
    "  0  done; check: no identity on two boards, no run of unknown outcome\n"
    "  1  check: an identity on two boards, or a run of unknown outcome\n"
    "  2  a bad command line, a record that cannot be read, or an INI file that cannot be\n"
    "     loaded\n";

namespace {

bool Complain(const char* message) {
  std::fprintf(stderr, "qnt5200-record: %s\n%s", message, kRecordToolUsage);
  return false;
}

// Reads the record into |sink| as a stream. Only a regular file is read: a pipe or a device is no
// record, and must not hold the tool; nor is a file whose first line is not the record's header.
bool ReadRecord(const std::string& name, RecordLineSink& sink) {
  UserFileReader file;
  std::string reason;
  if (!file.Open(name.c_str(), &reason)) {
    std::fprintf(stderr, "qnt5200-record: cannot read %s: %s\n", name.c_str(), reason.c_str());
    return false;
  }
  const RecordRead read = ReadRecordLines(file, sink, true);
  if (!read.read) {
    std::fprintf(stderr, "qnt5200-record: cannot read %s\n", name.c_str());
    return false;
  }
  if (read.shape == RecordShape::kNoHeader) {
    std::fprintf(stderr,
                 "qnt5200-record: %s is no per-board record: its first line is not the record's "
                 "header\n",
                 name.c_str());
    return false;
  }
  return true;
}

void ReportMalformed(const std::string& name, const std::vector<int>& lines) {
  for (const int line : lines) {
    std::fprintf(stderr, "qnt5200-record: line %d of %s cannot be read; it is passed over\n", line,
                 name.c_str());
  }
}

// The INI file through the utility's own loader and its section checks; its messages go to
// standard error.
bool LoadIni(const std::string& name, DeviceSettings* settings) {
  ErrorConsole console;
  IniState state;
  if (LoadIniFile(name.c_str(), *settings, state, console) != 0) {
    std::fprintf(stderr, "qnt5200-record: the INI file %s cannot be loaded\n", name.c_str());
    return false;
  }
  return true;
}

int Summary(const RecordCommand& command) {
  RecordSummarizer summarizer;
  if (!ReadRecord(command.record, summarizer)) return kRecordToolBadInput;
  const RecordSummary summary = summarizer.Finish();
  ReportMalformed(command.record, summary.malformed_lines);
  IniRanges ranges{.file = command.ini};
  if (!command.ini.empty()) {
    DeviceSettings settings;
    if (!LoadIni(command.ini, &settings)) return kRecordToolBadInput;
    ranges.left = CountIdentitiesLeft(settings);
  }
  const IniRanges* ini = command.ini.empty() ? nullptr : &ranges;
  const std::string report = command.json ? SummaryJson(command.record, summary, ini)
                                          : SummaryText(command.record, summary, ini);
  std::fputs(report.c_str(), stdout);
  return kRecordToolDone;
}

int Check(const RecordCommand& command) {
  bool serial_counts = true;
  if (!command.ini.empty()) {
    DeviceSettings settings;
    if (!LoadIni(command.ini, &settings)) return kRecordToolBadInput;
    serial_counts = settings.SerialNumberIncrement != 0;
  }
  RecordChecker checker(serial_counts);
  if (!ReadRecord(command.record, checker)) return kRecordToolBadInput;
  const RecordCheck check = checker.Finish();
  ReportMalformed(command.record, check.malformed_lines);
  const std::string report =
      command.json ? CheckJson(command.record, check) : CheckText(command.record, check);
  std::fputs(report.c_str(), stdout);
  return check.Clean() ? kRecordToolDone : kRecordToolFound;
}

}  // namespace

bool ParseRecordCommand(const std::vector<std::string>& words, RecordCommand* command) {
  if (words.empty()) return Complain("no command given");
  const std::string& verb = words[0];
  if (verb == "-h" || verb == "--help") {
    command->kind = RecordCommand::Kind::kHelp;
    return words.size() == 1 || Complain("bad command line");
  }
  if (verb != "summary" && verb != "check") return Complain("bad command line");
  command->kind = verb == "summary" ? RecordCommand::Kind::kSummary : RecordCommand::Kind::kCheck;
  for (size_t i = 1; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "--json") {
      command->json = true;
    } else if (word == "--ini" && i + 1 < words.size() && command->ini.empty()) {
      command->ini = words[++i];
    } else if (!word.empty() && word[0] != '-' && command->record.empty()) {
      command->record = word;
    } else {
      return Complain("bad command line");
    }
  }
  return !command->record.empty() || Complain("no record file named");
}

int RunRecordCommand(const RecordCommand& command) {
  switch (command.kind) {
    case RecordCommand::Kind::kSummary:
      return Summary(command);
    case RecordCommand::Kind::kCheck:
      return Check(command);
    case RecordCommand::Kind::kHelp:
      break;
  }
  std::fputs(kRecordToolUsage, stdout);
  return kRecordToolDone;
}
