// rig_test.cpp - the rig's pure logic: its list of adapters, the stage a run's output shows, the
// outcome its document tells, the tables' layout and the one verdict over the slots.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/rig/adapter_list.h"
#include "tools/rig/rig_options.h"
#include "tools/rig/rig_table.h"
#include "tools/rig/rig_verdict.h"
#include "tools/rig/slot_state.h"

namespace {

std::vector<uint32_t> Parse(const std::string& text, const std::vector<uint32_t>& served = {}) {
  std::vector<uint32_t> adapters;
  std::string why;
  if (!ParseAdapterList(text, served, &adapters, &why)) return {99};
  return adapters;
}

TEST(RigAdapterList, ReadsIndicesRangesAndAll) {
  EXPECT_EQ(Parse("0-3,6"), (std::vector<uint32_t>{0, 1, 2, 3, 6}));
  EXPECT_EQ(Parse("6,2,2-3"), (std::vector<uint32_t>{2, 3, 6}));
  EXPECT_EQ(Parse("15"), (std::vector<uint32_t>{15}));
  EXPECT_EQ(Parse("all", {1, 4}), (std::vector<uint32_t>{1, 4}));
  for (const char* bad : {"", "16", "3-1", "0,", "-2", "1-", "a", "0-3,,6", "all,1", "1 2"}) {
    EXPECT_EQ(Parse(bad, {0}), (std::vector<uint32_t>{99})) << bad;
  }
  EXPECT_EQ(Parse("all", {}), (std::vector<uint32_t>{99}));
}

TEST(RigOptions, TakesItsOwnOptionsThenTheRunsAfterTheSeparator) {
  RigOptions options;
  std::string why;
  ASSERT_EQ(
      ParseRigOptions({"-X", "0-3", "--repeat", "-a", "--", "-w", "-i", "b.ini"}, &options, &why),
      RigRequest::kRun);
  EXPECT_EQ(options.adapters, "0-3");
  EXPECT_TRUE(options.repeat);
  EXPECT_TRUE(options.document);
  EXPECT_EQ(options.run_words, (std::vector<std::string>{"-w", "-i", "b.ini"}));
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"-w"}, {"--"}, {"-X", "--", "-w"}, {"--", "-X", "1"}}) {
    RigOptions ignored;
    EXPECT_EQ(ParseRigOptions(bad, &ignored, &why), RigRequest::kBad) << bad[0];
  }
}

TEST(RigLogFollower, MovesForwardThroughTheStagesTheOutputShows) {
  SlotState slot;
  slot.stage = SlotStage::kChecking;
  LogFollower follower;
  EXPECT_FALSE(follower.Feed("\n 5200 Windows Command Line Utility 50%\n", &slot));
  EXPECT_EQ(StageText(slot), "checking");
  EXPECT_TRUE(follower.Feed("Writing  40%\r", &slot));
  EXPECT_EQ(StageText(slot), "writing 40%");
  EXPECT_FALSE(follower.Feed("The current device EEPROM was program", &slot));
  EXPECT_TRUE(follower.Feed("med with 302 bytes\n", &slot));
  EXPECT_EQ(StageText(slot), "verifying");
  EXPECT_FALSE(follower.Feed("Writing  90%\r", &slot));
  EXPECT_TRUE(follower.Feed("Updated ini file\n", &slot));
  EXPECT_EQ(StageText(slot), "stepping");
}

TEST(RigSettle, TellsDoneFailedRefusedAndKilledWithTheDocumentsIdentity) {
  const std::string written =
      R"({"chip":{"name":"qnt5231"},"eeprom":{"mac_address":"00:11:22:33:44:55",)"
      R"("serial_number":"0001","written":true}})";
  SlotState done;
  SettleSlot(0, 0, written, &done);
  EXPECT_EQ(StageText(done), "done");
  EXPECT_EQ(done.chip, "qnt5231");
  EXPECT_EQ(done.mac_address, "00:11:22:33:44:55");
  EXPECT_EQ(done.serial_number, "0001");

  SlotState failed;
  SettleSlot(9, 0, written, &failed);
  EXPECT_EQ(StageText(failed), "failed");
  SlotState refused;
  SettleSlot(10, 0, R"({"eeprom":{"mac_address":"00:11:22:33:44:55","written":false}})", &refused);
  EXPECT_EQ(StageText(refused), "refused");
  SlotState no_document;
  SettleSlot(1, 0, "", &no_document);
  EXPECT_EQ(StageText(no_document), "refused");
  SlotState killed;
  killed.started = true;
  SettleSlot(137, 9, "{", &killed);
  EXPECT_EQ(StageText(killed), "killed");
  EXPECT_EQ(SlotMeaning(killed), "killed by signal 9");
}

SlotState Slot(uint32_t adapter, bool started, int exit_code) {
  SlotState slot;
  slot.adapter = adapter;
  slot.started = started;
  slot.ended = started;
  slot.exit_code = exit_code;
  slot.stage = exit_code == 0 ? SlotStage::kDone : SlotStage::kFailed;
  return slot;
}

TEST(RigVerdict, ZeroOnlyWhenEverySlotEndedZeroElseTheFirstFailingSlotsCode) {
  EXPECT_EQ(RigExitCode({Slot(0, true, 0), Slot(1, true, 0)}), 0);
  EXPECT_EQ(VerdictLine({Slot(0, true, 0), Slot(1, true, 0)}), "All 2 runs ended with 0\n");
  const std::vector<SlotState> mixed = {Slot(0, true, 0), Slot(2, true, 9), Slot(5, true, 10)};
  EXPECT_EQ(RigExitCode(mixed), 9);
  EXPECT_EQ(VerdictLine(mixed), "2 of 3 runs did not end with 0: exit code 9, that of adapter 2\n");
  // A slot that started no run counts, with the utility's "no device".
  EXPECT_EQ(RigExitCode({Slot(0, true, 0), Slot(6, false, 0)}), kRigNoRun);
}

TEST(RigTable, RowsKeepOneWidthSoThatARedrawCoversTheRowBefore) {
  SlotState slot = Slot(3, true, 0);
  slot.chip = "qnt523F";
  slot.mac_address = "00:11:22:33:44:55";
  slot.serial_number = "000000000001";
  slot.duration_ms = 12345;
  SlotState blank;
  blank.adapter = 12;
  blank.stage = SlotStage::kWriting;
  blank.progress = 100;
  const std::string table = LiveTable({slot, blank});
  EXPECT_EQ(table,
            "Adapter Chip     Stage        MAC address       Serial number      Time\n"
            "      3 qnt523F  done         00:11:22:33:44:55 000000000001     12.3 s\n"
            "     12 -        writing 100% -                 -                     -\n");
  EXPECT_EQ(ChangeLine(slot),
            "Adapter 3 (qnt523F): done, MAC address 00:11:22:33:44:55, serial number "
            "000000000001, 12.3 s\n");
  EXPECT_EQ(SummaryTable({slot}),
            "Adapter Stage    Exit  Meaning                                MAC address       "
            "Serial number      Time\n"
            "      3 done        0  success                                00:11:22:33:44:55 "
            "000000000001     12.3 s\n");
}

}  // namespace
