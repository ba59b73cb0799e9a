// board_record.cpp - formatting and reading the CSV lines of the per-board record.
#include "format/board_record.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace {

enum Column : size_t {
  kTimeColumn,
  kAdapterColumn,
  kChipColumn,
  kMemoryColumn,
  kMacColumn,
  kSerialColumn,
  kImageLengthColumn,
  kCrcColumn,
  kFileColumn,
  kResultColumn,
  kWrittenColumn,
  kStationColumn,
  kDurationColumn,
  kErrorColumn,
};
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

// A number of a column nothing depends on; what cannot be read keeps |fallback|.
template <typename Number>
Number NumberOr(const std::vector<std::string>& fields, size_t column, int base, Number fallback) {
  if (column >= fields.size()) return fallback;
  const std::string& text = fields[column];
  Number value = fallback;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return error == std::errc() && end == text.data() + text.size() ? value : fallback;
}

std::string TextOr(const std::vector<std::string>& fields, size_t column) {
  return column < fields.size() ? fields[column] : std::string();
}

// The result and written columns, which say what became of the identity; false for a malformed
// line.
bool ReadOutcome(const std::vector<std::string>& fields, RecordEntry* entry) {
  BoardRecordLine& line = entry->fields;
  const std::string& result_text = fields[kResultColumn];
  entry->old_form = fields.size() == kOldColumns;
  if (!entry->old_form) {
    const std::string& w = fields[kWrittenColumn];
    if (!EqualsIgnoringCase(w, kWrittenYes) && !EqualsIgnoringCase(w, kWrittenNo) &&
        !EqualsIgnoringCase(w, kWrittenRefused)) {
      return false;
    }
    line.written = EqualsIgnoringCase(w, kWrittenYes);
    line.refused = EqualsIgnoringCase(w, kWrittenRefused);
    if (EqualsIgnoringCase(result_text, kRecordReserved)) {
      line.reserved = true;
      return true;
    }
  }
  if (!ParseResult(result_text, &line.result)) return false;
  if (entry->old_form) line.written = line.result == 0;  // the older form told no failed write
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

// Every column of a line that has the ten of the first form; false for a malformed line.
bool ReadEntry(const std::vector<std::string>& fields, RecordEntry* entry) {
  if (fields.size() < kOldColumns || !ReadOutcome(fields, entry)) return false;
  BoardRecordLine& line = entry->fields;
  line.mac_address = CanonicalMacAddress(fields[kMacColumn]);
  if (line.mac_address.empty() && !fields[kMacColumn].empty()) return false;
  line.time = fields[kTimeColumn];
  line.adapter = NumberOr<uint32_t>(fields, kAdapterColumn, 10, 0);
  line.chip = fields[kChipColumn];
  line.memory = fields[kMemoryColumn];
  line.serial_number = SerialText(fields[kSerialColumn]);
  line.image_length = NumberOr<int32_t>(fields, kImageLengthColumn, 10, 0);
  line.crc32 = NumberOr<uint32_t>(fields, kCrcColumn, 16, 0);
  line.file = fields[kFileColumn];
  line.station = TextOr(fields, kStationColumn);
  line.duration_ms = NumberOr<uint32_t>(fields, kDurationColumn, 10, 0);
  line.error = TextOr(fields, kErrorColumn);
  return true;
}

}  // namespace

ParsedBoardRecord ParseBoardRecord(const std::string& record) {
  ParsedBoardRecord parsed;
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

    RecordEntry entry{.number = number};
    if (SplitCsvLine(line, &fields) && ReadEntry(fields, &entry)) {
      parsed.entries.push_back(std::move(entry));
    } else {
      parsed.malformed_lines.push_back(number);
    }
  }
  return parsed;
}

std::string RecordResultText(const BoardRecordLine& line) {
  return line.reserved ? kRecordReserved : std::to_string(line.result);
}

const char* RecordWrittenText(const BoardRecordLine& line) {
  return line.written ? kWrittenYes : line.refused ? kWrittenRefused : kWrittenNo;
}

std::string FormatBoardRecordLine(const BoardRecordLine& line) {
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, "%d,%08X", static_cast<int>(line.image_length),
                static_cast<unsigned>(line.crc32));
  const std::string result = RecordResultText(line);
  const char* written = RecordWrittenText(line);
  const std::string serial =
      line.serial_number.empty() ? "" : CsvField(SerialFormula(line.serial_number));
  return CsvField(line.time) + "," + std::to_string(line.adapter) + "," + CsvField(line.chip) +
         "," + line.memory + "," + line.mac_address + "," + serial + "," + numbers + "," +
         CsvField(line.file) + "," + result + "," + written + "," + CsvField(line.station) + "," +
         std::to_string(line.duration_ms) + "," + CsvField(line.error) + "," +
         std::to_string(kBoardRecordFormat) + "\n";
}

uint32_t Crc32(const uint8_t* data, size_t length) {
  uint32_t crc = 0xFFFFFFFF;
  for (size_t i = 0; i < length; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1) != 0 ? 0xEDB88320 : 0);
  }
  return ~crc;
}
