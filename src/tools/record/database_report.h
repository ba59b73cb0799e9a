// database_report.h - what qnt5200-record answers from a database record: the summary (the file
// record's summary of its lines in the one order, record_order.h) and the check (identities
// written to two boards, whichever lines they came from; reservations whose outcome nobody knows;
// INI ranges of different lines that overlap), each run named by its station, adapter and time.
#pragma once

#include <string>
#include <vector>

#include "platform/database.h"
#include "tools/record/record_summary.h"

// The summary of the record in |database|; false when a query failed (database.error() says why).
bool SummarizeDatabase(Database& database, RecordSummary* summary);

// One run as the check names it.
struct RunMention {
  std::string station;
  uint32_t adapter = 0;
  std::string time;
  std::string file;
};

struct DatabaseClash {
  bool mac = true;  // else a serial number
  std::string value;
  RunMention programmed;  // the run that programmed it first
  RunMention again;       // a later run that wrote it to a board
};

struct DatabaseUnknown {
  std::string mac_address;
  std::string serial_number;
  RunMention run;
};

// Two INI files (two lines) that may give the same MAC address.
struct IniOverlap {
  std::string first_file;
  std::string second_file;
  std::string first_mac;  // the addresses both may give, canonical
  std::string last_mac;
};

struct DatabaseCheck {
  std::vector<DatabaseClash> clashes;
  std::vector<DatabaseUnknown> unknown;
  std::vector<IniOverlap> overlaps;
  bool Clean() const { return clashes.empty() && unknown.empty() && overlaps.empty(); }
};

// |serial_counts| false: serial numbers are not checked (the INI files do not step them).
bool CheckDatabase(Database& database, bool serial_counts, DatabaseCheck* check);

std::string DatabaseCheckText(const std::string& record_name, const DatabaseCheck& check);
std::string DatabaseCheckJson(const std::string& record_name, const DatabaseCheck& check);
