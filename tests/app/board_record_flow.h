// board_record_flow.h - the bench of the record's flow tests: three emulated boards, the example
// INI file, -w runs that step it with -t, and the record's lines as they should read.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "format/board_record.h"
#include "nvm/eeprom_flow_support.h"

class BoardRecordRun : public EepromFlow {
 protected:
  void SetUp() override {
    EepromFlow::SetUp();
    bench_.CreateAdapter(1, kChipQnt5231);
    bench_.CreateAdapter(2, kChipQnt5231);
    WriteFileText(ini_, ExampleIniText());
  }
  int Program(int adapter) {
    return Run({"-X", std::to_string(adapter), "-w", "-i", ini_, "-s", "-t", record_});
  }
  // The record with each line's time, station and duration replaced by "T", "S" and "D".
  std::string Record() {
    const std::string text = ReadFileText(record_);
    std::string masked = text.substr(0, text.find('\n') + 1);
    for (size_t line = masked.size(); line < text.size();) {
      const size_t newline = text.find('\n', line);
      const size_t end = newline == std::string::npos ? text.size() + 1 : newline + 1;
      std::vector<std::string> fields(1);
      for (size_t i = line; i + 1 < end; ++i) {
        if (text[i] == ',') fields.emplace_back();
        if (text[i] != ',') fields.back() += text[i];
      }
      fields[0] = "T";
      if (fields.size() > 12) fields[11] = "S", fields[12] = "D";
      for (size_t i = 0; i < fields.size(); ++i) masked += (i > 0 ? "," : "") + fields[i];
      masked += "\n";
      line = end;
    }
    return masked;
  }
  // A line of the record; |result| -1 for the reservation line, written before the first write.
  std::string Line(int adapter, const std::string& mac, const std::string& serial, int result,
                   bool written = true, const std::string& error = "") {
    int32_t length = 0;
    std::string text = ExampleIniWith("00:11:22:33:44:55", mac);
    text.replace(text.find("CurrentSerialNumber = 000000000001") + 22, 12, serial);
    const std::vector<uint8_t> image = ImageOf(text, &length);
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08X", Crc32(image.data(), static_cast<size_t>(length)));
    const std::string outcome = result < 0 ? std::string("reserved,no")
                                           : std::to_string(result) + (written ? ",yes" : ",no");
    return "T," + std::to_string(adapter) + ",qnt5231,eeprom," + mac + ",\"=\"\"" + serial +
           "\"\"\"," + std::to_string(length) + "," + crc + "," + ini_ + "," + outcome + ",S,D," +
           error + ",2\n";
  }
  // The two lines of a run that wrote its board.
  std::string Lines(int adapter, const std::string& mac, const std::string& serial, int result,
                    const std::string& error = "") {
    return Line(adapter, mac, serial, -1) + Line(adapter, mac, serial, result, true, error);
  }

  const std::string ini_ = File("board.ini");
  const std::string record_ = File("record.csv");
};
