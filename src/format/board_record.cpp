// board_record.cpp - formatting the per-board record's lines, and a small record read whole.
#include "format/board_record.h"

#include <cstdio>

#include "common/byte_source.h"
#include "format/record_reader.h"

namespace {

constexpr char kWrittenYes[] = "yes";
constexpr char kWrittenNo[] = "no";
constexpr char kWrittenRefused[] = "refused";

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

}  // namespace

void WholeRecordSink::Line(const RecordLineView& line) {
  const auto& in = line.fields;
  record.entries.push_back({.number = line.number,
                            .old_form = line.old_form,
                            .fields = {.time = std::string(in.time),
                                       .adapter = in.adapter,
                                       .chip = std::string(in.chip),
                                       .memory = std::string(in.memory),
                                       .mac_address = std::string(in.mac_address),
                                       .serial_number = std::string(in.serial_number),
                                       .image_length = in.image_length,
                                       .crc32 = in.crc32,
                                       .file = std::string(in.file),
                                       .reserved = in.reserved,
                                       .result = in.result,
                                       .written = in.written,
                                       .refused = in.refused,
                                       .station = std::string(in.station),
                                       .duration_ms = in.duration_ms,
                                       .error = std::string(in.error),
                                       .verified = in.verified}});
}

ParsedBoardRecord ParseBoardRecord(std::string_view record) {
  TextSource source(record);
  WholeRecordSink whole;
  ReadRecordLines(source, whole);
  return std::move(whole.record);
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
  return CsvField(line.time) + "," + std::to_string(line.adapter) + "," + CsvField(line.chip) +
         "," + line.memory + "," + line.mac_address + "," + CsvField(line.serial_number) + "," +
         numbers + "," + CsvField(line.file) + "," + result + "," + written + "," +
         CsvField(line.station) + "," + std::to_string(line.duration_ms) + "," +
         CsvField(line.error) + "," + std::to_string(kBoardRecordFormat) + "," +
         (line.verified ? kWrittenYes : kWrittenNo) + "\n";
}

uint32_t Crc32(const uint8_t* data, size_t length) {
  uint32_t crc = 0xFFFFFFFF;
  for (size_t i = 0; i < length; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1) != 0 ? 0xEDB88320 : 0);
  }
  return ~crc;
}
