// record_reader_test.cpp - the record read as a stream: lines cut across the blocks of a file read
// the same as whole ones, an endless line never held whole, and what the first line says of the
// file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/record_reader.h"

namespace {

// Each line as "number:mac/serial/result", each unreadable one as "number:-".
class Lines : public RecordLineSink {
 public:
  void Line(const RecordLineView& line) override {
    seen.push_back(std::to_string(line.number) + ":" + std::string(line.fields.mac_address) + "/" +
                   std::string(line.fields.serial_number) + "/" +
                   std::to_string(line.fields.result));
  }
  void Unreadable(int number, std::string_view /*text*/) override {
    seen.push_back(std::to_string(number) + ":-");
  }
  std::vector<std::string> seen;
};

std::vector<std::string> Read(ByteSource& source, RecordRead* read = nullptr,
                              bool header_required = false) {
  Lines lines;
  const RecordRead result = ReadRecordLines(source, lines, header_required);
  EXPECT_TRUE(result.read);
  if (read != nullptr) *read = result;
  return lines.seen;
}

const std::string kLine =
    "2026-01-02T03:04:05Z,0,c,eeprom,00:11:22:33:44:55,\"=\"\"0001\"\"\",1,0,f,";

TEST(RecordReader, LinesCutAcrossBlocksReadAsWholeOnes) {
  const std::string record =
      "\xEF\xBB\xBFtime,adapter,chip,memory,mac_address,serial_number,"
      "image_length,crc32,file,result\r\n" +
      kLine + "0\r\n\n" + kLine + "\"open\n" + kLine + "-1";
  const std::vector<std::string> expected = {"2:00:11:22:33:44:55/0001/0", "4:-",
                                             "5:00:11:22:33:44:55/0001/-1"};
  for (const size_t size : {1, 2, 3, 7, 64, 4096}) {
    TextSource source(record, size);
    RecordRead read;
    EXPECT_EQ(Read(source, &read), expected) << size;
    EXPECT_EQ(read.shape, RecordShape::kRecord);
  }
}

TEST(RecordReader, AnEndlessLineIsUnreadableAndHidesNothing) {
  const std::string endless(3u << 20, 'x');
  const std::string record = kLine + "0\n" + endless + "\n" + kLine + "9\n" + endless;
  TextSource source(record, 65536);
  EXPECT_EQ(Read(source), (std::vector<std::string>{"1:00:11:22:33:44:55/0001/0", "2:-",
                                                    "3:00:11:22:33:44:55/0001/9", "4:-"}));
}

TEST(RecordReader, TheFirstLineTellsWhetherTheTextIsARecord) {
  RecordRead read;
  TextSource empty(" \n\n");
  EXPECT_TRUE(Read(empty, &read, true).empty());
  EXPECT_EQ(read.shape, RecordShape::kEmpty);
  // Text is not read past its first line when a header is required.
  const std::string text = "# Notes\n" + kLine + "0\n";
  TextSource notes(text);
  EXPECT_TRUE(Read(notes, &read, true).empty());
  EXPECT_EQ(read.shape, RecordShape::kNoHeader);
  // A record line with its header cut away is no header either.
  const std::string line = kLine + "0\n";
  TextSource cut(line);
  EXPECT_TRUE(Read(cut, &read, true).empty());
  EXPECT_EQ(read.shape, RecordShape::kNoHeader);
  // Every column of the first form's header is checked, its last one too.
  TextSource other(
      "time,adapter,chip,memory,mac_address,serial_number,image_length,crc32,file,"
      "outcome\n");
  EXPECT_TRUE(Read(other, &read, true).empty());
  EXPECT_EQ(read.shape, RecordShape::kNoHeader);
  TextSource headless(text);
  EXPECT_EQ(Read(headless, &read), (std::vector<std::string>{"1:-", "2:00:11:22:33:44:55/0001/0"}));
}

}  // namespace
