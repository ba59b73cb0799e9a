// board_record_test.cpp - the per-board record (-t): its CSV lines, the search for a programmed
// MAC address, and the CRC-32 of the images it records.
#include <gtest/gtest.h>

#include <string>

#include "app/board_record.h"

namespace {

TEST(BoardRecord, LinesAreCsvAndOnlySuccessfulLinesHoldAMacAddress) {
  const BoardRecordLine line{.time = "2026-01-02T03:04:05Z",
                             .adapter = 2,
                             .chip = "qnt5230",
                             .memory = "eeprom",
                             .mac_address = "00:11:22:33:44:55",
                             .serial_number = "S,1\"",
                             .image_length = 302,
                             .crc32 = 0xCBF43926,
                             .file = "board.ini",
                             .result = 0};
  const std::string text = FormatBoardRecordLine(line);
  EXPECT_EQ(text,
            "2026-01-02T03:04:05Z,2,qnt5230,eeprom,00:11:22:33:44:55,\"S,1\"\"\",302,CBF43926,"
            "board.ini,0\n");

  BoardRecordLine failed = line;
  failed.mac_address = "00:11:22:33:44:56";
  failed.result = 9;
  const std::string record = kBoardRecordHeader + FormatBoardRecordLine(failed) + text;
  EXPECT_EQ(FindProgrammedMacAddress(record, "00:11:22:33:44:55"), 3);
  EXPECT_EQ(FindProgrammedMacAddress(record, "00:11:22:33:44:56"), 0);  // its run failed
  EXPECT_EQ(FindProgrammedMacAddress("a,b\n", "a"), 0);
}

TEST(BoardRecord, Crc32OfTheCheckString) {
  const std::string check = "123456789";
  EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(check.data()), check.size()), 0xCBF43926u);
}

}  // namespace
