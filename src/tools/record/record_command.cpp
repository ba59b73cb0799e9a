// record_command.cpp - the command line of qnt5200-record and the reading of its files.
#include "tools/record/record_command.h"

#include <cstdio>

#include "config/ini_loader.h"
#include "format/board_record.h"
#include "platform/user_file.h"
#include "tools/record/error_console.h"
#include "tools/record/record_json.h"
#include "tools/record/record_report.h"
#include "tools/record/report_page.h"

const char kRecordToolUsage[] =
    "Usage: qnt5200-record summary RECORD [--ini INI] [--json]\n"
    "                      boards programmed, failed and refused runs by exit code, boards per\n"
    "                      hour per station, the MAC addresses used; with --ini, the MAC\n"
    "                      addresses and serial numbers left in the INI file's ranges\n"
    "       qnt5200-record check RECORD [--ini INI] [--json]\n"
    "                      every MAC address or serial number on two boards and every run of\n"
    "                      unknown outcome (exit 1 when there is any); with --ini, a serial\n"
    "                      number the INI file does not step is not checked\n"
    "       qnt5200-record report RECORD -o PAGE [--ini INI]\n"
    "                      the line report page: one HTML file, with no script and nothing\n"
    "                      fetched, that plots boards per hour per station, failed and refused\n"
    "                      runs, the MAC addresses used (and left, with --ini), and lists the\n"
    "                      identities used up on no board\n"
    "       qnt5200-record --help      this text\n"
    "       qnt5200-record --version   the version and the commit of this build\n"
    "--json prints one JSON document instead of the text.\n"
    "Exit code 2: a bad command line, or a file that cannot be read or written.\n";

namespace {

// Far beyond the lines of any production run, as the utility itself reads it.
constexpr size_t kMaxRecordBytes = 256u << 20;

bool Complain(const char* message) {
  std::fprintf(stderr, "qnt5200-record: %s\n%s", message, kRecordToolUsage);
  return false;
}

bool ReadRecord(const std::string& name, ParsedBoardRecord* record) {
  std::string text;
  // Only a regular file is read: a pipe or a device is no record, and must not hold the tool.
  if (!ReadWholeUserFile(name.c_str(), kMaxRecordBytes, &text)) {
    std::fprintf(stderr, "qnt5200-record: cannot read %s\n", name.c_str());
    return false;
  }
  *record = ParseBoardRecord(text);
  for (const int line : record->malformed_lines) {
    std::fprintf(stderr, "qnt5200-record: line %d of %s cannot be read; it is passed over\n", line,
                 name.c_str());
  }
  return true;
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

// The ranges left in the INI file, when one is named.
bool ReadIniRanges(const RecordCommand& command, IniRanges* ranges) {
  ranges->file = command.ini;
  if (command.ini.empty()) return true;
  DeviceSettings settings;
  if (!LoadIni(command.ini, &settings)) return false;
  ranges->left = CountIdentitiesLeft(settings);
  return true;
}

int Summary(const RecordCommand& command) {
  ParsedBoardRecord record;
  IniRanges ranges;
  if (!ReadRecord(command.record, &record) || !ReadIniRanges(command, &ranges)) {
    return kRecordToolBadInput;
  }
  const IniRanges* ini = command.ini.empty() ? nullptr : &ranges;
  const RecordSummary summary = SummarizeRecord(record);
  const std::string report = command.json ? SummaryJson(command.record, summary, ini)
                                          : SummaryText(command.record, summary, ini);
  std::fputs(report.c_str(), stdout);
  return kRecordToolDone;
}

int Check(const RecordCommand& command) {
  ParsedBoardRecord record;
  if (!ReadRecord(command.record, &record)) return kRecordToolBadInput;
  bool serial_counts = true;
  if (!command.ini.empty()) {
    DeviceSettings settings;
    if (!LoadIni(command.ini, &settings)) return kRecordToolBadInput;
    serial_counts = settings.SerialNumberIncrement != 0;
  }
  const RecordCheck check = CheckRecord(record, serial_counts);
  const std::string report =
      command.json ? CheckJson(command.record, check) : CheckText(command.record, check);
  std::fputs(report.c_str(), stdout);
  return check.Clean() ? kRecordToolDone : kRecordToolFound;
}

// The page goes to a regular file or a new one, and never over the files it is made from.
bool PageMayBeWritten(const RecordCommand& command) {
  const char* output = command.output.c_str();
  if (!CanReplaceUserFile(output)) {
    std::fprintf(stderr, "qnt5200-record: %s is no regular file, and the page is not written\n",
                 output);
    return false;
  }
  if (SameUserFile(output, command.record.c_str()) ||
      (!command.ini.empty() && SameUserFile(output, command.ini.c_str()))) {
    std::fprintf(stderr, "qnt5200-record: %s is the record or the INI file, and is not replaced\n",
                 output);
    return false;
  }
  return true;
}

int Report(const RecordCommand& command) {
  ParsedBoardRecord record;
  IniRanges ranges;
  if (!PageMayBeWritten(command) || !ReadRecord(command.record, &record) ||
      !ReadIniRanges(command, &ranges)) {
    return kRecordToolBadInput;
  }
  const std::string page = ReportPageHtml(
      GatherReportPage(command.record, record, command.ini.empty() ? nullptr : &ranges));
  if (ReplaceUserFile(command.output.c_str(), page.data(), page.size()) !=
      ReplaceResult::kReplaced) {
    std::fprintf(stderr, "qnt5200-record: cannot write %s\n", command.output.c_str());
    return kRecordToolBadInput;
  }
  std::printf("The line report of %s is in %s\n", command.record.c_str(), command.output.c_str());
  return kRecordToolDone;
}

}  // namespace

bool ParseRecordCommand(const std::vector<std::string>& words, RecordCommand* command) {
  if (words.empty()) return Complain("no command given");
  const std::string& verb = words[0];
  if (verb == "-h" || verb == "--help") {
    command->kind = RecordCommand::Kind::kHelp;
    return words.size() == 1 || Complain("bad command line");
  }
  if (verb == "summary") {
    command->kind = RecordCommand::Kind::kSummary;
  } else if (verb == "check") {
    command->kind = RecordCommand::Kind::kCheck;
  } else if (verb == "report") {
    command->kind = RecordCommand::Kind::kReport;
  } else {
    return Complain("bad command line");
  }
  const bool report = command->kind == RecordCommand::Kind::kReport;
  for (size_t i = 1; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "--json" && !report) {
      command->json = true;
    } else if (word == "-o" && report && i + 1 < words.size() && command->output.empty()) {
      command->output = words[++i];
    } else if (word == "--ini" && i + 1 < words.size() && command->ini.empty()) {
      command->ini = words[++i];
    } else if (!word.empty() && word[0] != '-' && command->record.empty()) {
      command->record = word;
    } else {
      return Complain("bad command line");
    }
  }
  if (command->record.empty()) return Complain("no record file named");
  return !report || !command->output.empty() || Complain("no page file named (-o)");
}

int RunRecordCommand(const RecordCommand& command) {
  switch (command.kind) {
    case RecordCommand::Kind::kSummary:
      return Summary(command);
    case RecordCommand::Kind::kCheck:
      return Check(command);
    case RecordCommand::Kind::kReport:
      return Report(command);
    case RecordCommand::Kind::kHelp:
      break;
  }
  std::fputs(kRecordToolUsage, stdout);
  return kRecordToolDone;
}
