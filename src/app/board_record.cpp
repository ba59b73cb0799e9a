// board_record.cpp - formatting and reading the CSV lines of the per-board record.
#include "app/board_record.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace {

enum Column : size_t { kMacColumn = 4, kSerialColumn = 5, kResultColumn = 9, kWrittenColumn = 10 };
constexpr char kWrittenYes[] = "yes";
constexpr char kWrittenNo[] = "no";
constexpr char kWrittenRefused[] = "refused";
constexpr size_t kOldColumns = 10;

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The fields of one physical line (quotes undone, blanks around them dropped); false when a
// quote is left open, so a stray quote never swallows the lines after it.
bool SplitCsvLine(const std::string& line, std::vector<std::string>* fields) {
  fields->assign(1, "");
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      fields->back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields->emplace_back();
    } else {
      fields->back() += c;
    }
  }
  for (std::string& field : *fields) field = Trimmed(field);
  return !quoted;
}

bool ParseResult(const std::string& text, int* result) {
  if (text.empty()) return false;
  size_t i = text[0] == '-' ? 1 : 0;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i) {
    if (std::isdigit(static_cast<unsigned char>(text[i])) == 0) return false;
  }
  *result = std::atoi(text.c_str());
  return true;
}

bool EqualsIgnoringCase(const std::string& text, const char* word) {
  size_t i = 0;
  for (; i < text.size() && word[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != word[i]) return false;
  }
  return i == text.size() && word[i] == '\0';
}

// The use one line gives its identity, or false for a malformed line. kFree: the line changes
// nothing (a run that failed before writing, an older line of a failed run).
bool UseOfLine(const std::vector<std::string>& fields, IdentityUse* use) {
  if (fields.size() < kOldColumns) return false;
  const std::string& result_text = fields[kResultColumn];
  const bool old_form = fields.size() == kOldColumns;
  bool written = false;
  if (!old_form) {
    const std::string& w = fields[kWrittenColumn];
    if (!EqualsIgnoringCase(w, kWrittenYes) && !EqualsIgnoringCase(w, kWrittenNo) &&
        !EqualsIgnoringCase(w, kWrittenRefused)) {
      return false;
    }
    written = EqualsIgnoringCase(w, kWrittenYes);
  }
  if (!old_form && EqualsIgnoringCase(result_text, kRecordReserved)) {
    *use = IdentityUse::kUnfinished;
    return true;
  }
  int result = 0;
  if (!ParseResult(result_text, &result)) return false;
  if (old_form) written = result == 0;  // the older form could not tell a failed write apart
  if (!written) {
    *use = IdentityUse::kFree;
  } else {
    *use = result == 0 ? IdentityUse::kProgrammed : IdentityUse::kFailed;
  }
  return true;
}

// ="0001": a formula whose value is the text, quotes doubled inside it.
std::string SerialFormula(const std::string& serial) {
  std::string formula = "=\"";
  for (const char c : serial) formula += c == '"' ? std::string("\"\"") : std::string(1, c);
  return formula + "\"";
}

// A serial number written as a formula is the text inside it.
std::string SerialText(const std::string& field) {
  if (field.size() < 3 || field.compare(0, 2, "=\"") != 0 || field.back() != '"') return field;
  std::string text;
  for (size_t i = 2; i + 1 < field.size(); ++i) {
    text += field[i];
    if (field[i] == '"' && field[i + 1] == '"') ++i;
  }
  return text;
}

void Note(std::map<std::string, IdentityEntry>& entries, const std::string& key,
          const IdentityEntry& entry) {
  if (!key.empty()) entries[key] = entry;
}

}  // namespace

std::string FormatBoardRecordLine(const BoardRecordLine& line) {
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, "%d,%08X", static_cast<int>(line.image_length),
                static_cast<unsigned>(line.crc32));
  const std::string result = line.reserved ? kRecordReserved : std::to_string(line.result);
  const char* written = line.written ? kWrittenYes : line.refused ? kWrittenRefused : kWrittenNo;
  const std::string serial =
      line.serial_number.empty() ? "" : CsvField(SerialFormula(line.serial_number));
  return CsvField(line.time) + "," + std::to_string(line.adapter) + "," + CsvField(line.chip) +
         "," + line.memory + "," + line.mac_address + "," + serial + "," + numbers + "," +
         CsvField(line.file) + "," + result + "," + written + "," + CsvField(line.station) + "," +
         std::to_string(line.duration_ms) + "," + CsvField(line.error) + "," +
         std::to_string(kBoardRecordFormat) + "\n";
}

bool RecordIdentities::HasOpenIdentities() const {
  for (const auto* entries : {&by_mac, &by_serial}) {
    for (const auto& [key, entry] : *entries) {
      if (entry.use == IdentityUse::kUnfinished || entry.use == IdentityUse::kFailed) return true;
    }
  }
  return false;
}

RecordIdentities ReadRecordIdentities(const std::string& record) {
  RecordIdentities identities;
  std::vector<std::string> fields;
  int number = 0;
  for (size_t start = 0; start < record.size();) {
    size_t end = record.find('\n', start);
    if (end == std::string::npos) end = record.size();
    std::string line = record.substr(start, end - start);
    start = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (Trimmed(line).empty() || (number == 1 && line.rfind("time,", 0) == 0)) continue;

    IdentityUse use = IdentityUse::kFree;
    const bool read = SplitCsvLine(line, &fields) && UseOfLine(fields, &use);
    const std::string mac = read ? CanonicalMacAddress(fields[kMacColumn]) : "";
    if (!read || (mac.empty() && !fields[kMacColumn].empty())) {
      identities.malformed_lines.push_back(number);
      continue;
    }
    if (use == IdentityUse::kFree) continue;
    const IdentityEntry entry{.use = use,
                              .line = number,
                              .mac_address = mac,
                              .serial_number = SerialText(fields[kSerialColumn])};
    Note(identities.by_mac, mac, entry);
    Note(identities.by_serial, entry.serial_number, entry);
  }
  return identities;
}

uint32_t Crc32(const uint8_t* data, size_t length) {
  uint32_t crc = 0xFFFFFFFF;
  for (size_t i = 0; i < length; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1) != 0 ? 0xEDB88320 : 0);
  }
  return ~crc;
}
