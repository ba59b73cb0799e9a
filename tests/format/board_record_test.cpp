// board_record_test.cpp - the per-board record: its CSV lines, what its lines say of each MAC
// address and serial number, and the CRC-32 of the images it records.
#include <gtest/gtest.h>

#include <string>

#include "common/byte_source.h"
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
                            .duration_ms = 1520,
                            .verified = true};

RecordIdentities ReadFor(const std::string& record, const std::string& mac,
                         const std::string& serial) {
  TextSource source(record);
  RecordIdentities identities;
  EXPECT_TRUE(identities.Read(source, mac, serial));
  return identities;
}

IdentityUse UseOf(const std::string& record, const std::string& mac) {
  return ReadFor(record, mac, "").MacOwner().use;
}

TEST(BoardRecord, ReservationOutcomeAndRefusalLinesAreCsv) {
  EXPECT_EQ(FormatBoardRecordLine(kLine),
            "2026-01-02T03:04:05Z,2,qnt5230,eeprom,00:11:22:33:44:55,\"S,1\"\"\","
            "302,CBF43926,board.ini,0,yes,bench 3,1520,,3,yes\n");
  BoardRecordLine reserved = kLine;
  reserved.reserved = true;
  reserved.written = false;
  reserved.verified = false;
  reserved.serial_number = "0001";
  EXPECT_EQ(FormatBoardRecordLine(reserved),
            "2026-01-02T03:04:05Z,2,qnt5230,eeprom,00:11:22:33:44:55,0001,302,"
            "CBF43926,board.ini,reserved,no,bench 3,1520,,3,no\n");
  BoardRecordLine refused = reserved;
  refused.reserved = false;
  refused.refused = true;
  refused.result = 10;
  refused.error = "MAC address 00:11:22:33:44:55 was programmed already, line 3";
  EXPECT_EQ(FormatBoardRecordLine(refused),
            "2026-01-02T03:04:05Z,2,qnt5230,eeprom,00:11:22:33:44:55,0001,302,"
            "CBF43926,board.ini,10,refused,bench 3,1520,\"MAC address 00:11:22:33:44:55 was "
            "programmed already, line 3\",3,no\n");
  // Read back, the serial number is its text again.
  const std::string record = std::string(kBoardRecordHeader) + FormatBoardRecordLine(kLine) +
                             FormatBoardRecordLine(refused);
  const RecordIdentities identities = ReadFor(record, "00:11:22:33:44:55", "S,1\"");
  EXPECT_EQ(identities.MacOwner().serial_number, "S,1\"");
  EXPECT_EQ(identities.SerialOwner().line, 2);
  EXPECT_EQ(identities.SerialOwner().station, "bench 3");
  EXPECT_EQ(identities.SerialOwner().time, "2026-01-02T03:04:05Z");
  EXPECT_EQ(identities.SerialOwner().adapter, 2u);
  EXPECT_TRUE(identities.malformed_lines().empty());
  EXPECT_EQ(identities.shape(), RecordShape::kRecord);
}

TEST(BoardRecord, ALineReadBackGivesEveryColumn) {
  const ParsedBoardRecord parsed =
      ParseBoardRecord(std::string(kBoardRecordHeader) + FormatBoardRecordLine(kLine) +
                       "2026-01-02 03:04:05,7,c,otp,,,x,y,f,0\n");  // first form, bad numbers
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

TEST(BoardRecord, EachLineTellsWhatBecameOfItsIdentity) {
  const std::string record =
      std::string(kBoardRecordHeader) +
      "2026-01-02T03:04:05Z,0,c,eeprom,00:00:00:00:00:01,1,1,0,f,reserved,no\n"  // died
      "2026-01-02T03:04:05Z,0,c,eeprom,00:00:00:00:00:02,2,1,0,f,reserved,no\n"
      "2026-01-02T03:04:05Z,0,c,eeprom,00:00:00:00:00:02,2,1,0,f,9,yes\n"  // verify failed
      "2026-01-02T03:04:05Z,0,c,eeprom,00:00:00:00:00:03,3,1,0,f,reserved,no\n"
      "2026-01-02T03:04:05Z,0,c,eeprom,00:00:00:00:00:03,3,1,0,f,0,yes\n"
      "2026-01-02T03:04:05Z,0,c,eeprom,00:00:00:00:00:04,4,1,0,f,12,no\n"  // refused early
      "2026-01-02T03:04:05Z,0,c,eeprom,00:00:00:00:00:05,5,1,0,f,0\n"      // older form
      "2026-01-02T03:04:05Z,0,c,eeprom,00:00:00:00:00:06,6,1,0,f,9\n";
  EXPECT_EQ(UseOf(record, "00:00:00:00:00:01"), IdentityUse::kUnfinished);
  EXPECT_EQ(UseOf(record, "00:00:00:00:00:02"), IdentityUse::kFailed);
  EXPECT_EQ(UseOf(record, "00:00:00:00:00:03"), IdentityUse::kProgrammed);
  EXPECT_EQ(UseOf(record, "00:00:00:00:00:04"), IdentityUse::kFree);
  EXPECT_EQ(UseOf(record, "00:00:00:00:00:05"), IdentityUse::kProgrammed);
  EXPECT_EQ(UseOf(record, "00:00:00:00:00:06"), IdentityUse::kFree);
  const RecordIdentities identities = ReadFor(record, "00:00:00:00:00:03", "2");
  EXPECT_EQ(identities.MacOwner().line, 6);
  EXPECT_EQ(identities.SerialOwner().use, IdentityUse::kFailed);
  EXPECT_TRUE(identities.malformed_lines().empty());
  // The boards that may hold an open identity: the run that died, the failed verify.
  EXPECT_TRUE(identities.HasOpenIdentities());
  EXPECT_EQ(identities.OpenIdentityOf({0, 0, 0, 0, 0, 2})->serial_number, "2");
  EXPECT_EQ(identities.OpenIdentityOf({0, 0, 0, 0, 0, 1})->line, 2);
  EXPECT_FALSE(identities.OpenIdentityOf({0, 0, 0, 0, 0, 3}));
}

TEST(BoardRecord, NoLineHidesAProgrammedIdentity) {
  // Spellings of a hand-edited or foreign record; each line on its own, whatever came before.
  const std::string record =
      std::string(kBoardRecordHeader) +
      "2026-01-02T03:04:05Z,0,c,eeprom,\"00:00:00:00:00:09,9,1,0,f,0,yes\n"  // stray quote
      "2026-01-02T03:04:05Z,0,c,eeprom,00-11-22-33-44-5a,1,1,0,f,0,yes\n"
      " 2026-01-02T03:04:05Z , 0 ,c,eeprom, 00:11:22:33:44:5B ,2,1,0,f, 0 ,yes, extra\n"
      "2026-01-02T03:04:05Z,0,c,eeprom,001122334455,3,1,0,f,0,YES\r\n"
      "2026-01-02T03:04:05Z,0,c,eeprom,not a mac,4,1,0,f,0,yes\n"
      "2026-01-02T03:04:05Z,0,c,eeprom,00:11:22:33:44:56,5,1,0,f,0,maybe\n"
      "2026-01-02T03:04:05Z,0,c,eeprom,00:11:22:33:44:57,6,1,0,f,0,yes";  // no line end
  EXPECT_EQ(UseOf(record, "00:11:22:33:44:5A"), IdentityUse::kProgrammed);
  EXPECT_EQ(UseOf(record, "00:11:22:33:44:5B"), IdentityUse::kProgrammed);
  EXPECT_EQ(UseOf(record, "00:11:22:33:44:55"), IdentityUse::kProgrammed);
  EXPECT_EQ(UseOf(record, "00:11:22:33:44:57"), IdentityUse::kProgrammed);
  const RecordIdentities identities = ReadFor(record, "", "2");
  EXPECT_EQ(identities.SerialOwner().line, 4);
  EXPECT_EQ(identities.malformed_lines(), (std::vector<int>{2, 6, 7}));
}

TEST(BoardRecord, SerialNumbersAreTextAndEitherFormIsRead) {
  BoardRecordLine line = kLine;
  line.serial_number = "000000000001";
  const std::string plain = FormatBoardRecordLine(line);
  EXPECT_NE(plain.find(",00:11:22:33:44:55,000000000001,302,"), std::string::npos) << plain;
  EXPECT_NE(FormatBoardRecordLine(kLine).find(",00:11:22:33:44:55,\"S,1\"\"\",302,"),
            std::string::npos);
  // A line of the form that wrote the serial number as a formula is still read as its text.
  const ParsedBoardRecord parsed = ParseBoardRecord(
      std::string(kBoardRecordHeader) + plain +
      "2026-01-02T03:04:05Z,2,c,eeprom,00:11:22:33:44:56,\"=\"\"0002\"\"\",1,0,f,0,yes,s,1,,2\n");
  ASSERT_EQ(parsed.entries.size(), 2u);
  EXPECT_EQ(parsed.entries[0].fields.serial_number, "000000000001");
  EXPECT_EQ(parsed.entries[1].fields.serial_number, "0002");
}

TEST(BoardRecord, ImpossibleTimesAndResultsMakeALineUnreadable) {
  const std::string record = std::string(kBoardRecordHeader) +
                             "2024-02-29T23:59:59Z,0,c,eeprom,00:00:00:00:00:01,1,1,0,f,0,yes\n"
                             "2026-13-45T00:00:00Z,0,c,eeprom,00:00:00:00:00:02,2,1,0,f,0,yes\n"
                             "2026-02-30T00:00:00Z,0,c,eeprom,00:00:00:00:00:03,3,1,0,f,0,yes\n"
                             "2026-02-28T24:00:00Z,0,c,eeprom,00:00:00:00:00:04,4,1,0,f,0,yes\n"
                             "2026-02-28 10:00:00,0,c,eeprom,00:00:00:00:00:05,5,1,0,f,-1,yes\n"
                             "2026-02-28T10:00:00Z,0,c,eeprom,00:00:00:00:00:06,6,1,0,f,"
                             "99999999999999999999,yes\n"
                             "2026-02-28T10:00:00Z,0,c,eeprom,00:00:00:00:00:07,7,1,0,f,"
                             "2147483648,yes\n";
  const ParsedBoardRecord parsed = ParseBoardRecord(record);
  EXPECT_EQ(parsed.malformed_lines, (std::vector<int>{3, 4, 5, 7, 8}));
  ASSERT_EQ(parsed.entries.size(), 2u);
  EXPECT_EQ(parsed.entries[1].fields.result, -1);
}

TEST(BoardRecord, Crc32OfTheCheckString) {
  const std::string check = "123456789";
  EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(check.data()), check.size()), 0xCBF43926u);
}

}  // namespace
