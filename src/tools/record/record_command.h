// record_command.h - qnt5200-record's command line and its run: which report of which record,
// read through the user-file service, printed on standard output or written as a page;
// complaints on standard error.
#pragma once

#include <string>
#include <vector>

#include "config/device_settings.h"
#include "format/board_record.h"
#include "tools/record/record_report.h"

struct RecordCommand {
  enum class Kind { kHelp, kSummary, kCheck, kReport, kInit, kImport, kExport } kind = Kind::kHelp;
  std::string record;             // a file, or "odbc:" and a connection string
  std::string target;             // import and export: where the record goes
  std::vector<std::string> inis;  // --ini, in order; a database's check takes one per line
  std::string output;             // the report page's file
  bool json = false;
};

// The words after the program's name. False after a message on standard error.
bool ParseRecordCommand(const std::vector<std::string>& words, RecordCommand* command);

// Runs |command|; returns the exit code.
int RunRecordCommand(const RecordCommand& command);

extern const char kRecordToolUsage[];

// The pieces both kinds of record use; each complains on standard error when it fails.
// A record read whole (to be brought into a database); refused when a line that cannot be read
// still names an identity.
bool ReadRecord(const std::string& name, ParsedBoardRecord* record);
bool LoadIni(const std::string& name, DeviceSettings* settings);
// The ranges of each --ini, in the order given.
bool LoadRanges(const RecordCommand& command, std::vector<IniRanges>* ranges);
// Writes the line report page of |record|, called |name|, to |command.output| and says so.
int WriteReportPage(const RecordCommand& command, const std::string& name,
                    const ParsedBoardRecord& record, const RecordSummary& summary,
                    const std::vector<IniRanges>& ranges);
