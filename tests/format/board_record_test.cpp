// board_record_test.cpp - the per-board record: its CSV lines, what its lines say of each MAC
// address and serial number, and the CRC-32 of the images it records.
#include <gtest/gtest.h>

#include <string>

#include "format/board_record.h"
#include "format/record_identities.h"

namespace {

const BoardRecordLine kLine{.time = "2026-01-02T03:04:05Z",
                            .adapter = 2,
                            .chip = "qnt5230",
                            .memory = "eeprom",
                            .mac_address = "00:11:22:33:44:55",
                            .serial_number = "S,1\"",
                            .image_length = 302,
                            .crc32 = 0xCBF43926,
                            .file = "board.ini",
                            .result = 0,
                            .written = true,
                            .station = "bench 3",
                            .duration_ms = 1520};

TEST(BoardRecord, ReservationOutcomeAndRefusalLinesAreCsv) {
  EXPECT_EQ(FormatBoardRecordLine(kLine),
            "2026-01-02T03:04:05Z,2,qnt5230,eeprom,00:11:22:33:44:55,\"=\"\"S,1\"\"\"\"\"\"\","
            "302,CBF43926,board.ini,0,yes,bench 3,1520,,2\n");
  BoardRecordLine reserved = kLine;
  reserved.reserved = true;
  reserved.written = false;
  reserved.serial_number = "0001";
  EXPECT_EQ(FormatBoardRecordLine(reserved),
            "2026-01-02T03:04:05Z,2,qnt5230,eeprom,00:11:22:33:44:55,\"=\"\"0001\"\"\",302,"
            "CBF43926,board.ini,reserved,no,bench 3,1520,,2\n");
  BoardRecordLine refused = reserved;
  refused.reserved = false;
  refused.refused = true;
  refused.result = 10;
  refused.error = "MAC address 00:11:22:33:44:55 was programmed already, line 3";
  EXPECT_EQ(FormatBoardRecordLine(refused),
            "2026-01-02T03:04:05Z,2,qnt5230,eeprom,00:11:22:33:44:55,\"=\"\"0001\"\"\",302,"
            "CBF43926,board.ini,10,refused,bench 3,1520,\"MAC address 00:11:22:33:44:55 was "
            "programmed already, line 3\",2\n");
  // Read back, the serial numbers are their text again.
  const RecordIdentities identities =
      ReadRecordIdentities(std::string(kBoardRecordHeader) + FormatBoardRecordLine(kLine) +
                           FormatBoardRecordLine(refused));
  EXPECT_EQ(identities.by_mac.at("00:11:22:33:44:55").serial_number, "S,1\"");
  EXPECT_TRUE(identities.malformed_lines.empty());
}

TEST(BoardRecord, ALineReadBackGivesEveryColumn) {
  const ParsedBoardRecord parsed =
      ParseBoardRecord(std::string(kBoardRecordHeader) + FormatBoardRecordLine(kLine) +
                       "t,7,c,otp,,,x,y,f,0\n");  // older form, unreadable numbers
  ASSERT_EQ(parsed.entries.size(), 2u);
  const RecordEntry& line = parsed.entries[0];
  EXPECT_EQ(line.number, 2);
  EXPECT_FALSE(line.old_form);
  EXPECT_EQ(line.fields.time, "2026-01-02T03:04:05Z");
  EXPECT_EQ(line.fields.adapter, 2u);
  EXPECT_EQ(line.fields.chip, "qnt5230");
  EXPECT_EQ(line.fields.image_length, 302);
  EXPECT_EQ(line.fields.crc32, 0xCBF43926u);
  EXPECT_EQ(line.fields.file, "board.ini");
  EXPECT_EQ(line.fields.station, "bench 3");
  EXPECT_EQ(line.fields.duration_ms, 1520u);
  EXPECT_EQ(FormatBoardRecordLine(line.fields), FormatBoardRecordLine(kLine));
  const RecordEntry& old = parsed.entries[1];
  EXPECT_TRUE(old.old_form);
  EXPECT_TRUE(old.fields.written);
  EXPECT_EQ(old.fields.memory, "otp");
  EXPECT_EQ(old.fields.image_length, 0);
  EXPECT_EQ(old.fields.station, "");
}

IdentityUse UseOf(const RecordIdentities& identities, const std::string& mac) {
  const auto found = identities.by_mac.find(mac);
  return found == identities.by_mac.end() ? IdentityUse::kFree : found->second.use;
}

TEST(BoardRecord, EachLineTellsWhatBecameOfItsIdentity) {
  const std::string record = std::string(kBoardRecordHeader) +
                             "t,0,c,eeprom,00:00:00:00:00:01,1,1,0,f,reserved,no\n"  // died
                             "t,0,c,eeprom,00:00:00:00:00:02,2,1,0,f,reserved,no\n"
                             "t,0,c,eeprom,00:00:00:00:00:02,2,1,0,f,9,yes\n"  // verify failed
                             "t,0,c,eeprom,00:00:00:00:00:03,3,1,0,f,reserved,no\n"
                             "t,0,c,eeprom,00:00:00:00:00:03,3,1,0,f,0,yes\n"
                             "t,0,c,eeprom,00:00:00:00:00:04,4,1,0,f,12,no\n"  // refused early
                             "t,0,c,eeprom,00:00:00:00:00:05,5,1,0,f,0\n"      // older form
                             "t,0,c,eeprom,00:00:00:00:00:06,6,1,0,f,9\n";
  const RecordIdentities identities = ReadRecordIdentities(record);
  EXPECT_EQ(UseOf(identities, "00:00:00:00:00:01"), IdentityUse::kUnfinished);
  EXPECT_EQ(UseOf(identities, "00:00:00:00:00:02"), IdentityUse::kFailed);
  EXPECT_EQ(UseOf(identities, "00:00:00:00:00:03"), IdentityUse::kProgrammed);
  EXPECT_EQ(UseOf(identities, "00:00:00:00:00:04"), IdentityUse::kFree);
  EXPECT_EQ(UseOf(identities, "00:00:00:00:00:05"), IdentityUse::kProgrammed);
  EXPECT_EQ(UseOf(identities, "00:00:00:00:00:06"), IdentityUse::kFree);
  EXPECT_EQ(identities.by_mac.at("00:00:00:00:00:03").line, 6);
  EXPECT_EQ(identities.by_serial.at("2").use, IdentityUse::kFailed);
  EXPECT_TRUE(identities.HasOpenIdentities());
  EXPECT_TRUE(identities.malformed_lines.empty());
}

TEST(BoardRecord, NoLineHidesAProgrammedIdentity) {
  // Spellings of a hand-edited or foreign record; each line on its own, whatever came before.
  const std::string record = std::string(kBoardRecordHeader) +
                             "t,0,c,eeprom,\"00:00:00:00:00:09,9,1,0,f,0,yes\n"  // stray quote
                             "t,0,c,eeprom,00-11-22-33-44-5a,1,1,0,f,0,yes\n"
                             " t , 0 ,c,eeprom, 00:11:22:33:44:5B ,2,1,0,f, 0 ,yes, extra\n"
                             "t,0,c,eeprom,001122334455,3,1,0,f,0,YES\r\n"
                             "t,0,c,eeprom,not a mac,4,1,0,f,0,yes\n"
                             "t,0,c,eeprom,00:11:22:33:44:56,5,1,0,f,0,maybe\n"
                             "t,0,c,eeprom,00:11:22:33:44:57,6,1,0,f,0,yes";  // no line end
  const RecordIdentities identities = ReadRecordIdentities(record);
  EXPECT_EQ(UseOf(identities, "00:11:22:33:44:5A"), IdentityUse::kProgrammed);
  EXPECT_EQ(UseOf(identities, "00:11:22:33:44:5B"), IdentityUse::kProgrammed);
  EXPECT_EQ(UseOf(identities, "00:11:22:33:44:55"), IdentityUse::kProgrammed);
  EXPECT_EQ(UseOf(identities, "00:11:22:33:44:57"), IdentityUse::kProgrammed);
  EXPECT_EQ(identities.by_serial.at("2").line, 4);
  EXPECT_EQ(identities.malformed_lines, (std::vector<int>{2, 6, 7}));
}

TEST(BoardRecord, Crc32OfTheCheckString) {
  const std::string check = "123456789";
  EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(check.data()), check.size()), 0xCBF43926u);
}

}  // namespace
