// state_file_test.cpp - persistence of the adapters: the state file round trip, its checks, the
// atomic replacement, and what carries from one process's run to the next.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "emu/atomic_file.h"
#include "emu/emu_clock.h"
#include "emu/link_model.h"
#include "emu/machine.h"
#include "emu/phy_model.h"
#include "emu/state_file.h"
#include "exchange.h"
#include "support/emu_bench.h"
#include "support/run_program.h"

namespace {

emu::AdapterState BusyAdapter() {
  emu::AdapterState state = emu::MakeAdapter(3, {.id_value = 0x523F0007, .eeprom_size = 256});
  state.eeprom[5] = 0x12;
  state.otp[0] = 0xF3;
  state.otp[511] = 0x80;
  state.pci_config[0x3C] = 0;
  state.registers[0x104] = 0xCAFEF00D;
  state.phy[0x20000040] = 0x89ABCDEF;
  state.phy_pins[0x20000040] = 0x12345678;
  state.phy_pins[10] = 0x8800;
  state.pcie_phy[0x2345] = 0x1234;
  state.stats[21] = 7;
  state.location = "Quote \" back\\slash \x01 and UTF-8 \xC3\xA9";
  state.link.partner.kind = emu::PartnerKind::kAutoneg;
  state.link.partner.abilities = emu::kAbility1000Fd | emu::kAbility10Hd;
  state.link.partner.master_slave = emu::MasterSlave::kSlave;
  state.link.policy = emu::LinkModePolicy::kForce;
  state.link_runtime.latched_low = true;
  state.e2p_open = true;
  state.otp_access = emu::OtpAccess::kWrite;
  state.faults.push_back(
      {.command = 4, .skip = 2, .count = -1, .kind = emu::FaultKind::kError, .value = 31});
  state.cable[3] = {.set = true, .status = 3, .data = 0x5A, .stuck = true};
  state.cable[1] = {.set = true, .status = 1, .data = 21, .busy_polls = 4};
  state.cable_polls_left = 2;
  state.mcu.Xdata()[0x5001] = 0x77;
  state.mcu.control = 0x86;
  state.time_ms = 123456;
  return state;
}

TEST(StateFile, RoundTripKeepsEverything) {
  const emu::AdapterState state = BusyAdapter();
  const std::string text = emu::FormatAdapterState(state);
  emu::AdapterState parsed;
  std::string error;
  ASSERT_TRUE(emu::ParseAdapterState(text, &parsed, &error)) << error;
  EXPECT_EQ(emu::FormatAdapterState(parsed), text);
  EXPECT_EQ(parsed.location, state.location);
  EXPECT_EQ(parsed.mcu.Xdata()[0x5001], 0x77);
  EXPECT_EQ(parsed.faults.size(), 1u);
  EXPECT_EQ(parsed.faults[0].count, -1);
  EXPECT_EQ(parsed.cable[1].busy_polls, 4u);
  EXPECT_EQ(parsed.cable_polls_left, 2u);
  EXPECT_EQ(parsed.phy_pins, state.phy_pins);
}

TEST(StateFile, RejectsWhatItDoesNotKnow) {
  const std::string good = emu::FormatAdapterState(emu::MakeAdapter(0, {}));
  struct Case {
    const char* name;
    std::string text;
  };
  const Case cases[] = {
      {"other version", "qnt5200-emu-state 2\n"},
      {"unknown field", good + "colour blue\n"},
      {"bad number", good + "chip 0xZZ\n"},
      {"bad eeprom size", good + "eeprom_size 300\n"},
      {"bytes past the end", good + "otp 0x1ff 00 00\n"},
      {"bad text", good + "location \"open\n"},
      {"bad partner", good + "link_partner forced 100fd,10fd\n"},
      {"bad fault", good + "fault cmd=4 skip=1\n"},
  };
  for (const Case& c : cases) {
    emu::AdapterState state;
    std::string error;
    EXPECT_FALSE(emu::ParseAdapterState(c.text, &state, &error)) << c.name;
    EXPECT_FALSE(error.empty()) << c.name;
  }
}

// A firmware image loaded through the microcontroller's registers costs the state file about two
// characters a byte, and comes back byte for byte.
TEST(StateFile, MicrocontrollerMemoryIsKeptCompact) {
  emu::AdapterState state = emu::MakeAdapter(0, {});
  const size_t blank_size = emu::FormatAdapterState(state).size();
  emu::WritePhy(state, 0x40010, 0x84, 0);  // auto-increment XDATA
  emu::WritePhy(state, 0x40011, 0x5000, 0);
  uint32_t seed = 1;
  std::vector<uint8_t> image(16384);
  for (uint8_t& byte : image) {
    seed = seed * 1103515245 + 12345;
    byte = static_cast<uint8_t>(seed >> 16);
    emu::WritePhy(state, 0x40012, byte, 0);
  }
  emu::WritePhy(state, 0x40010, 0, 0);
  const std::string text = emu::FormatAdapterState(state);
  EXPECT_LE(text.size() - blank_size, 2 * image.size() + 512);
  emu::AdapterState parsed;
  std::string error;
  // Lines of one word per byte, as older files hold them, still load.
  ASSERT_TRUE(emu::ParseAdapterState(text + "mcu_xdata 0x0010 01 02\n", &parsed, &error)) << error;
  EXPECT_TRUE(std::equal(image.begin(), image.end(), parsed.mcu.Xdata().begin() + 0x5000));
  EXPECT_EQ(parsed.mcu.Xdata()[0x4FFF], 0);
  EXPECT_EQ(parsed.mcu.Xdata()[0x5000 + image.size()], 0);
  EXPECT_EQ(parsed.mcu.Xdata()[0x11], 2);
}

// Memory bytes are hexadecimal digits of either case, words apart by blanks or tabs; a character
// next to a digit range, or one with the top bit set, or a word of odd length makes the line
// invalid.
TEST(StateFile, MemoryBytesAreHexDigitsOfEitherCase) {
  const std::string good = emu::FormatAdapterState(emu::MakeAdapter(0, {}));
  emu::AdapterState state;
  std::string error;
  ASSERT_TRUE(emu::ParseAdapterState(good + "mcu_sfr 0x10\t09aFAf \t0b\n", &state, &error))
      << error;
  EXPECT_EQ(std::vector<uint8_t>(state.mcu.sfr.begin() + 0x10, state.mcu.sfr.begin() + 0x14),
            (std::vector<uint8_t>{0x09, 0xAF, 0xAF, 0x0B}));
  for (const char* digits :
       {"/0", ":0", "0@", "G0", "0`", "g0", "0\xB0", "", "0", "abc", "ab c", "a\tb"}) {
    EXPECT_FALSE(emu::ParseAdapterState(good + "mcu_sfr 0x10 " + digits + "\n", &state, &error))
        << digits;
  }
}

// A hand-edited or damaged file is invalid as a whole, and the message names the line.
TEST(StateFile, RejectsValuesOutOfRangeAndMemoriesCutShort) {
  const std::string good = emu::FormatAdapterState(emu::MakeAdapter(0, {}));
  const std::string next = "line " + std::to_string(std::count(good.begin(), good.end(), '\n') + 1);
  const std::string cut = good.substr(0, good.rfind('\n', good.size() - 2) + 1);
  std::string gap = good;
  const size_t eeprom_line = gap.find("eeprom 0x100 ");
  gap.erase(eeprom_line, gap.find('\n', eeprom_line) + 1 - eeprom_line);
  struct Case {
    const char* name;
    std::string text;
    std::string error;  // the start of the message
  };
  const Case cases[] = {
      {"clock at the end of its type", good + "time_ms 9223372036854775807\n", next + ": bad"},
      {"clock past its range", good + "time_ms 9007199254740993\n", next + ": bad"},
      {"link start", good + "link_started_ms -9223372036854775808\n", next + ": bad"},
      {"cable start", good + "cable_started_ms -9007199254740993\n", next + ": bad"},
      {"cable register", good + "cable_register 0x10000\n", next + ": bad"},
      {"mcu control", good + "mcu_control 0x100\n", next + ": bad"},
      {"mcu address", good + "mcu_address 0x10000\n", next + ": bad"},
      {"register off a word", good + "register 0x00000102 0x1\n", next + ": bad"},
      {"register past the space", good + "register 0x00010000 0x1\n", next + ": bad"},
      {"register 0 is the chip field", good + "register 0x00000000 0x1\n", next + ": bad"},
      {"16-bit phy register", good + "phy 0x00000011 0x10000\n", next + ": bad"},
      {"16-bit phy pin", good + "phy_pin 0x00000001 0x10000\n", next + ": bad"},
      {"pcie phy address", good + "pcie_phy 0x10000 0x0001\n", next + ": bad"},
      {"last line cut off", cut,
       "line " + std::to_string(std::count(cut.begin(), cut.end(), '\n') + 1) +
           ": the file ends without otp byte 0x1e0"},
      {"a line in the middle lost", gap, ": the file ends without eeprom byte 0x100"},
  };
  for (const Case& c : cases) {
    emu::AdapterState state;
    std::string error;
    EXPECT_FALSE(emu::ParseAdapterState(c.text, &state, &error)) << c.name;
    EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
  }
  // The limits themselves are times a state may hold.
  emu::AdapterState state;
  std::string error;
  EXPECT_TRUE(emu::ParseAdapterState(good + "time_ms 9007199254740992\nlink_started_ms "
                                            "-9007199254740992\n",
                                     &state, &error))
      << error;
}

// Sleeping on a clock at the end of its range would overflow: such a file never loads.
TEST(StateFile, AClockAtItsLimitNeverOverflows) {
  EmuBench bench;
  bench.CreateAdapter(0);
  const std::string path = emu::AdapterPath(bench.dir(), 0);
  WriteFileText(path, ReadFileText(path) + "time_ms 9223372036854775000\n");
  emu::Machine machine(bench.dir());
  EXPECT_EQ(machine.Open(), emu::kErrorAccessDenied);
  machine.SleepMs(1000);
  emu::AdapterState state = emu::MakeAdapter(0, {});
  state.time_ms = emu::kMaxTimeMs;
  emu::AdvanceAdapterClock(state, 0xFFFFFFFF);
  EXPECT_EQ(state.time_ms, emu::kMaxTimeMs);
}

TEST(StateFile, UnreadableStateFailsTheOpenWithAccessDenied) {
  EmuBench bench;
  bench.CreateAdapter(0);
  WriteFileText(emu::AdapterPath(bench.dir(), 1), "garbage\n");
  emu::Machine machine(bench.dir());
  EXPECT_EQ(machine.Open(), emu::kErrorAccessDenied);
  EXPECT_NE(machine.last_error().find("adapter1.state"), std::string::npos);
}

TEST(StateFile, AtomicWriteReplacesWholeAndLeavesNoTemporary) {
  TempDir dir;
  const std::string path = dir.File("adapter0.state");
  ASSERT_TRUE(emu::WriteFileAtomically(path, "old contents\n"));
  ASSERT_TRUE(emu::WriteFileAtomically(path, "new\n"));
  EXPECT_EQ(ReadFileText(path), "new\n");
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1u);
  // A write that cannot happen leaves the old file as it was.
  EXPECT_FALSE(emu::WriteFileAtomically(dir.File("missing/adapter0.state"), "x"));
  std::filesystem::create_directory(dir.File("blocker"));
  WriteFileText(dir.File("blocker/inside"), "keep");
  EXPECT_FALSE(emu::WriteFileAtomically(dir.File("blocker"), "x"));
  EXPECT_EQ(ReadFileText(dir.File("blocker/inside")), "keep");
}

TEST(StateFile, ListsOnlyAdapterFiles) {
  EmuBench bench;
  bench.CreateAdapter(10);
  bench.CreateAdapter(2);
  WriteFileText(bench.dir() + "/adapter02.state", "");
  WriteFileText(bench.dir() + "/adapterX.state", "");
  WriteFileText(bench.dir() + "/adapter3.state.tmp.1", "");
  EXPECT_EQ(emu::ListAdapters(bench.dir()), (std::vector<uint32_t>{2, 10}));
}

TEST(Persistence, WhatOneRunProgramsTheNextReads) {
  EmuBench bench;
  bench.CreateAdapter(0);
  {
    emu::Machine first(bench.dir());
    ASSERT_EQ(first.Open(), 0u);
    RawRequest(emu::kWriteRegister).Parameter(0x200).Data32(0x55AA).Send(first, 20);
    RawRequest(emu::kWritePhy).Parameter(0x11).Data32(0xBEEF).Send(first, 18);
    RawRequest(emu::kOtpConfigure).Parameter(emu::kOtpOpenForWrite).Send(first, 17);
    const uint8_t signature = 0xF3;
    RawRequest(emu::kOtpWriteBlock).Position(0, 1).Bytes(&signature, 1).Send(first, 17);
    RawRequest(emu::kOtpConfigure).Parameter(emu::kOtpCloseAccess).Send(first, 17);
    first.SleepMs(1500);
    ASSERT_TRUE(first.Close());
  }
  emu::Machine second(bench.dir());
  ASSERT_EQ(second.Open(), 0u);
  EXPECT_EQ(RawRequest(emu::kReadRegister).Parameter(0x200).Send(second).Word(), 0x55AAu);
  EXPECT_EQ(RawRequest(emu::kReadPhy).Parameter(0x11).Send(second).Half(), 0xBEEFu);
  RawRequest(emu::kOtpConfigure).Parameter(emu::kOtpOpenForRead).Send(second, 17);
  EXPECT_EQ(RawRequest(emu::kOtpReadBlock).Position(0, 1).Send(second).block[16], 0xF3);
  EXPECT_EQ(second.NowMs(), 1500);
}

TEST(Clock, VirtualSleepsAdvanceEveryAdapterAtOnce) {
  EmuBench bench;
  bench.CreateAdapter(0);
  bench.CreateAdapter(1);
  emu::Machine machine(bench.dir());
  ASSERT_EQ(machine.Open(), 0u);
  machine.SleepMs(60000);  // would take a minute if it were real
  EXPECT_EQ(machine.NowMs(), 60000);
  EXPECT_EQ(machine.Adapter(1)->time_ms, 60000);
  EXPECT_FALSE(machine.RealTime());
}

TEST(Clock, LinkDelayIsMeasuredAcrossRequests) {
  EmuBench bench;
  bench.CreateAdapter(0);
  bench.SetPartner("autoneg 100fd");
  bench.SetLinkDelay(2500);
  emu::Machine machine(bench.dir());
  ASSERT_EQ(machine.Open(), 0u);
  ASSERT_EQ(RawRequest(emu::kSetLinkMode).Data32(4).Send(machine, 20).status, emu::kStatusOk);
  machine.SleepMs(2000);
  RawRequest(emu::kReadPhy).Parameter(1).Send(machine);
  EXPECT_EQ(RawRequest(emu::kReadPhy).Parameter(1).Send(machine).Half() & 0x0004, 0u);
  machine.SleepMs(500);
  EXPECT_EQ(RawRequest(emu::kReadPhy).Parameter(1).Send(machine).Half() & 0x0004, 0x0004u);
}

TEST(Faults, SkipCountStatusAndErrorAcrossProcesses) {
  EmuBench bench;
  bench.CreateAdapter(0);
  bench.FailStatus(emu::kReadRegister, 2, /*skip=*/1, /*count=*/2);
  bench.FailCall(emu::kE2pReadByte, 1167, 0, -1);
  {
    emu::Machine first(bench.dir());
    ASSERT_EQ(first.Open(), 0u);
    EXPECT_EQ(RawRequest(emu::kReadRegister).Send(first).status, emu::kStatusOk);
    EXPECT_EQ(RawRequest(emu::kReadRegister).Send(first).status, 2u);
    ASSERT_TRUE(first.Close());
  }
  emu::Machine second(bench.dir());
  ASSERT_EQ(second.Open(), 0u);
  const RawAnswer faulted = RawRequest(emu::kReadRegister).Send(second);
  EXPECT_EQ(faulted.status, 2u);
  EXPECT_EQ(faulted.returned, 16u);
  EXPECT_EQ(RawRequest(emu::kReadRegister).Send(second).status, emu::kStatusOk);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(RawRequest(emu::kE2pReadByte).Send(second).error, 1167u);
  }
}

TEST(Faults, AFaultedRequestHasNoEffect) {
  EmuBench bench;
  bench.CreateAdapter(0);
  bench.FailStatus(emu::kE2pCommand, 1);
  emu::Machine machine(bench.dir());
  ASSERT_EQ(machine.Open(), 0u);
  EXPECT_EQ(RawRequest(emu::kE2pCommand).Parameter(emu::kE2pOpen).Send(machine, 17).status, 1u);
  const uint8_t byte = 0;
  EXPECT_EQ(RawRequest(emu::kE2pWriteByte).Position(0, 1).Bytes(&byte, 1).Send(machine, 17).status,
            emu::kStatusRefused);
}

}  // namespace
