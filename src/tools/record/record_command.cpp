// record_command.cpp - the command line of qnt5200-record and the reading of its files.
#include "tools/record/record_command.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>

#include "config/ini_loader.h"
#include "format/record_reader.h"
#include "format/utc_time.h"
#include "platform/user_file.h"
#include "record/record_schema.h"
#include "tools/record/database_command.h"
#include "tools/record/error_console.h"
#include "tools/record/record_json.h"
#include "tools/record/record_report.h"
#include "tools/record/report_page.h"

const char kRecordToolUsage[] =
    "Usage: qnt5200-record summary RECORD [--ini INI]... [--json]\n"
    "                      boards programmed, failed and refused runs by exit code, boards per\n"
    "                      hour per station, the MAC addresses used; with --ini, the MAC\n"
    "                      addresses and serial numbers left in the INI file's ranges\n"
    "       qnt5200-record check RECORD [--ini INI]... [--json]\n"
    "                      every MAC address or serial number on two boards and every run of\n"
    "                      unknown outcome (exit 1 when there is any); with --ini, a serial\n"
    "                      number that no INI file steps is not checked\n"
    "       qnt5200-record init odbc:CONNECTION\n"
    "                      creates the record's tables in a database\n"
    "       qnt5200-record import RECORD odbc:CONNECTION\n"
    "                      brings a record file into a database (again: only what is new)\n"
    "       qnt5200-record export odbc:CONNECTION RECORD\n"
    "                      writes a database's record out as a record file\n"
    "       qnt5200-record report RECORD -o PAGE [--ini INI]...\n"
    "                      the line report page: one HTML file, with no script and nothing\n"
    "                      fetched, that plots boards per hour per station, failed and refused\n"
    "                      runs by reason, the MAC addresses used (and, with --ini, each range's\n"
    "                      used and left, warning when it nearly runs out), and lists the\n"
    "                      identities used up on no board\n"
    "       qnt5200-record --help      this text\n"
    "       qnt5200-record --version   the version and the commit of this build\n"
    "--ini is given once per range (each INI file of the line). --json prints one JSON document\n"
    "instead of the text. RECORD may be odbc:CONNECTION, an ODBC connection string (odbc: alone\n"
    "takes it from QNT5200_RECORD); check then reports INI ranges of two lines that overlap.\n"
    "Exit codes:\n"
    "  0  done; check: no identity on two boards, no run of unknown outcome\n"
    "  1  check: an identity on two boards, or a run of unknown outcome\n"
    "  2  a bad command line, a record that cannot be read, an INI file that cannot be\n"
    "     loaded, or a page that cannot be written\n";

namespace {

bool Complain(const char* message) {
  std::fprintf(stderr, "qnt5200-record: %s\n%s", message, kRecordToolUsage);
  return false;
}

// Letters to add, drop or change to make one word the other (both are short).
size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// A word that is no command gets one line naming it, and the command it is nearest to when it
// looks like a slip of the keyboard, instead of the whole usage.
template <typename Commands>
bool ComplainOfWord(const std::string& word, const Commands& commands) {
  constexpr size_t kSlips = 2;
  const char* nearest = nullptr;
  size_t best = kSlips + 1;
  for (const auto& [name, kind] : commands) {
    const size_t distance = EditDistance(word, name);
    if (distance < best) {
      best = distance;
      nearest = name.c_str();
    }
  }
  if (nearest != nullptr) {
    std::fprintf(stderr, "qnt5200-record: no command \"%s\"; did you mean %s?\n", word.c_str(),
                 nearest);
  } else {
    std::fprintf(stderr, "qnt5200-record: no command \"%s\"; qnt5200-record --help lists them\n",
                 word.c_str());
  }
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

}  // namespace

// Keeps every line whole, and the first unreadable line that still names an identity.
class WholeRecordGuard : public WholeRecordSink {
 public:
  void Unreadable(int number, std::string_view text) override {
    WholeRecordSink::Unreadable(number, text);
    DamagedLineNames names = NamesOfDamagedLine(text);
    if (damaged_line == 0 && (!names.mac_addresses.empty() || !names.serial_number.empty())) {
      damaged_line = number;
      damaged = std::move(names);
    }
  }
  int damaged_line = 0;
  DamagedLineNames damaged;
};

bool ReadRecord(const std::string& name, ParsedBoardRecord* record) {
  WholeRecordGuard whole;
  if (!ReadRecord(name, whole)) return false;
  if (whole.damaged_line != 0) {
    const std::string mac =
        whole.damaged.mac_addresses.empty() ? "-" : whole.damaged.mac_addresses[0];
    const std::string serial =
        whole.damaged.serial_number.empty() ? "-" : whole.damaged.serial_number;
    std::fprintf(stderr,
                 "qnt5200-record: line %d of %s cannot be read and names MAC address %s, serial "
                 "number %s: brought in without it, that identity would be free; correct the "
                 "line first\n",
                 whole.damaged_line, name.c_str(), mac.c_str(), serial.c_str());
    return false;
  }
  ReportMalformed(name, whole.record.malformed_lines);
  *record = std::move(whole.record);
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

bool LoadRanges(const RecordCommand& command, std::vector<IniRanges>* ranges) {
  for (const std::string& ini : command.inis) {
    DeviceSettings settings;
    if (!LoadIni(ini, &settings)) return false;
    ranges->push_back({.file = ini, .left = CountIdentitiesLeft(settings)});
  }
  return true;
}

namespace {

int Summary(const RecordCommand& command) {
  RecordSummarizer summarizer;
  if (!ReadRecord(command.record, summarizer)) return kRecordToolBadInput;
  const RecordSummary summary = summarizer.Finish();
  ReportMalformed(command.record, summary.malformed_lines);
  std::vector<IniRanges> ranges;
  if (!LoadRanges(command, &ranges)) return kRecordToolBadInput;
  const std::string report = command.json ? SummaryJson(command.record, summary, ranges)
                                          : SummaryText(command.record, summary, ranges);
  std::fputs(report.c_str(), stdout);
  return kRecordToolDone;
}

// With INI files, serial numbers are checked when one of the line's files steps them.
int Check(const RecordCommand& command) {
  bool serial_counts = command.inis.empty();
  for (const std::string& ini : command.inis) {
    DeviceSettings settings;
    if (!LoadIni(ini, &settings)) return kRecordToolBadInput;
    serial_counts = serial_counts || settings.SerialNumberIncrement != 0;
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

// The page goes to a regular file or a new one, and never over the files it is made from.
bool PageMayBeWritten(const RecordCommand& command) {
  const char* output = command.output.c_str();
  if (!CanReplaceUserFile(output)) {
    std::fprintf(stderr, "qnt5200-record: %s is no regular file, and the page is not written\n",
                 output);
    return false;
  }
  bool source = SameUserFile(output, command.record.c_str());
  for (const std::string& ini : command.inis) source = source || SameUserFile(output, ini.c_str());
  if (source) {
    std::fprintf(stderr, "qnt5200-record: %s is the record or an INI file, and is not replaced\n",
                 output);
    return false;
  }
  return true;
}

// Hands each line to both sinks, so that one read of the record serves its summary and its page.
class BothSinks : public RecordLineSink {
 public:
  BothSinks(RecordLineSink& first, RecordLineSink& second) : first_(first), second_(second) {}
  void Line(const RecordLineView& line) override {
    first_.Line(line);
    second_.Line(line);
  }
  void Unreadable(int number, std::string_view text) override {
    first_.Unreadable(number, text);
    second_.Unreadable(number, text);
  }

 private:
  RecordLineSink& first_;
  RecordLineSink& second_;
};

int Report(const RecordCommand& command) {
  RecordSummarizer summarizer;
  WholeRecordSink whole;
  BothSinks both(summarizer, whole);
  std::vector<IniRanges> ranges;
  if (!PageMayBeWritten(command) || !ReadRecord(command.record, both) ||
      !LoadRanges(command, &ranges)) {
    return kRecordToolBadInput;
  }
  const RecordSummary summary = summarizer.Finish();
  ReportMalformed(command.record, summary.malformed_lines);
  return WriteReportPage(command, command.record, whole.record, summary, ranges);
}

}  // namespace

int WriteReportPage(const RecordCommand& command, const std::string& name,
                    const ParsedBoardRecord& record, const RecordSummary& summary,
                    const std::vector<IniRanges>& ranges) {
  ReportPageData data = GatherReportPage(name, record, summary, ranges);
  data.made_at = UtcTimeText(std::time(nullptr));
  const std::string page = ReportPageHtml(data);
  if (ReplaceUserFile(command.output.c_str(), page.data(), page.size()) !=
      ReplaceResult::kReplaced) {
    std::fprintf(stderr, "qnt5200-record: cannot write %s\n", command.output.c_str());
    return kRecordToolBadInput;
  }
  std::printf("The line report of %s is in %s\n", name.c_str(), command.output.c_str());
  return kRecordToolDone;
}

bool ParseRecordCommand(const std::vector<std::string>& words, RecordCommand* command) {
  if (words.empty()) return Complain("no command given");
  const std::string& verb = words[0];
  if (verb == "-h" || verb == "--help") {
    command->kind = RecordCommand::Kind::kHelp;
    return words.size() == 1 || Complain("bad command line");
  }
  using Kind = RecordCommand::Kind;
  static const std::map<std::string, Kind> kVerbs = {
      {"summary", Kind::kSummary}, {"check", Kind::kCheck},   {"report", Kind::kReport},
      {"init", Kind::kInit},       {"import", Kind::kImport}, {"export", Kind::kExport}};
  const auto found = kVerbs.find(verb);
  if (found == kVerbs.end()) {
    return verb.empty() || verb[0] == '-' ? Complain("bad command line")
                                          : ComplainOfWord(verb, kVerbs);
  }
  command->kind = found->second;
  const bool report = command->kind == Kind::kReport;
  const bool reads = report || command->kind == Kind::kSummary || command->kind == Kind::kCheck;
  std::vector<std::string> names;
  for (size_t i = 1; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "--json" && reads && !report) {
      command->json = true;
    } else if (word == "-o" && report && i + 1 < words.size() && command->output.empty()) {
      command->output = words[++i];
    } else if (word == "--ini" && reads && i + 1 < words.size()) {
      command->inis.push_back(words[++i]);
    } else if (!word.empty() && word[0] != '-') {
      names.push_back(word);
    } else {
      return Complain("bad command line");
    }
  }
  const size_t wanted = command->kind == Kind::kImport || command->kind == Kind::kExport ? 2 : 1;
  if (names.empty()) return Complain("no record file named");
  if (names.size() != wanted) return Complain("bad command line");
  command->record = names[0];
  if (wanted == 2) command->target = names[1];
  return !report || !command->output.empty() || Complain("no page file named (-o)");
}

int RunRecordCommand(const RecordCommand& command) {
  std::string connection;
  const std::string& database =
      command.kind == RecordCommand::Kind::kImport ? command.target : command.record;
  if (command.kind != RecordCommand::Kind::kHelp && IsDatabaseRecord(database, &connection)) {
    return RunDatabaseCommand(command, connection);
  }
  if (command.kind == RecordCommand::Kind::kInit || command.kind == RecordCommand::Kind::kImport ||
      command.kind == RecordCommand::Kind::kExport) {
    std::fprintf(stderr, "qnt5200-record: %s is no database (odbc:CONNECTION)\n", database.c_str());
    return kRecordToolBadInput;
  }
  switch (command.kind) {
    case RecordCommand::Kind::kSummary:
      return Summary(command);
    case RecordCommand::Kind::kCheck:
      return Check(command);
    case RecordCommand::Kind::kReport:
      return Report(command);
    case RecordCommand::Kind::kHelp:
    case RecordCommand::Kind::kInit:
    case RecordCommand::Kind::kImport:
    case RecordCommand::Kind::kExport:
      break;
  }
  std::fputs(kRecordToolUsage, stdout);
  return kRecordToolDone;
}
