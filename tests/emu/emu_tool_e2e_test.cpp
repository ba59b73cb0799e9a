// emu_tool_e2e_test.cpp - qnt5200-emu end to end: commands, their output, bad input, and that a
// failing command leaves the state file alone.
#include <gtest/gtest.h>

#include <algorithm>

#include "emu/state_file.h"
#include "support/end_to_end.h"

namespace {

class EmuTool : public EndToEnd {
 protected:
  std::string StateText(uint32_t index = 0) {
    return ReadFileText(emu::AdapterPath(EmuDir(), index));
  }
};

TEST_F(EmuTool, CreateShowAndRemove) {
  const ProgramRun created = ToolRun("create --adapter 1 --chip QNT5231 --eeprom-size 256");
  EXPECT_EQ(created.exit_code, 0) << created.output;
  EXPECT_NE(created.output.find("created adapter 1 (chip 0x52310001, 256-byte EEPROM"),
            std::string::npos);
  EXPECT_EQ(ToolRun("create --adapter 1").exit_code, 1);
  const ProgramRun shown = ToolRun("show --adapter 1");
  EXPECT_EQ(shown.exit_code, 0);
  EXPECT_NE(shown.output.find("chip           0x52310001"), std::string::npos) << shown.output;
  EXPECT_EQ(ToolRun("remove --adapter 1").exit_code, 0);
  EXPECT_EQ(ToolRun("show --adapter 1").exit_code, 1);
}

TEST_F(EmuTool, BadInputIsAUsageErrorAndChangesNothing) {
  ASSERT_EQ(ToolRun("create").exit_code, 0);
  const std::string before = StateText();
  for (const char* arguments : {"",
                                "frobnicate",
                                "create --chip QNT9999",
                                "create --eeprom-size 128",
                                "show --adapter x",
                                "show extra",
                                "dump flash",
                                "reg 2",
                                "reg 0x10 zz",
                                "phy 1 --pin 0x10000",
                                "phy 1 5 --pin 3",
                                "fault --command 4",
                                "fault --command NOPE --status 1",
                                "fault --command 4 --status 1 --error 2",
                                "fault --command 4 --count 0 --status 1",
                                "link --partner 100full",
                                "link --forced 100fd,10fd",
                                "link --partner 100fd --none",
                                "link --reply 256",
                                "stats NoSuchCounter=1",
                                "info --driver-version 1.2.3",
                                "cable --pair E --status open",
                                "load eeprom /nonexistent/file",
                                "load otp /",
                                "clock sometimes",
                                "create --adapter"}) {
    const ProgramRun run = ToolRun(arguments);
    EXPECT_EQ(run.exit_code, 2) << arguments << "\n" << run.output;
    EXPECT_NE(run.output.find("qnt5200-emu: "), std::string::npos) << arguments;
  }
  EXPECT_EQ(StateText(), before);
}

TEST_F(EmuTool, ShowNamesTheLineThatMakesAStateInvalid) {
  ASSERT_EQ(ToolRun("create").exit_code, 0);
  const std::string path = emu::AdapterPath(EmuDir(), 0);
  const std::string text = StateText();
  const auto lines = std::count(text.begin(), text.end(), '\n');
  WriteFileText(path, text + "time_ms 9223372036854775807\n");
  ProgramRun run = ToolRun("show");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.output, "qnt5200-emu: " + path + ": line " + std::to_string(lines + 1) +
                            ": bad value for \"time_ms\"\n");
  // Cut short by two lines: 32 OTP bytes a line.
  const size_t last = text.rfind('\n', text.size() - 2);
  WriteFileText(path, text.substr(0, text.rfind('\n', last - 1) + 1));
  run = ToolRun("show");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.output, "qnt5200-emu: " + path + ": line " + std::to_string(lines - 1) +
                            ": the file ends without otp byte 0x1c0\n");
}

TEST_F(EmuTool, LoadAndDumpMemories) {
  ASSERT_EQ(ToolRun("create --eeprom-size 256").exit_code, 0);
  const std::string image = "\x01\x02\x03";
  WriteFileText(emu_.File("image.bin"), image);
  EXPECT_EQ(ToolRun("load eeprom " + emu_.File("image.bin")).exit_code, 0);
  const std::string eeprom = ToolRun("dump eeprom").output;
  ASSERT_EQ(eeprom.size(), 256u);
  EXPECT_EQ(eeprom.substr(0, 3), image);
  EXPECT_EQ(static_cast<uint8_t>(eeprom[3]), 0xFF);
  WriteFileText(emu_.File("big.bin"), std::string(257, 'x'));
  EXPECT_EQ(ToolRun("load eeprom " + emu_.File("big.bin")).exit_code, 2);
  EXPECT_EQ(ToolRun("load otp " + emu_.File("big.bin")).exit_code, 0);
  EXPECT_EQ(ToolRun("dump otp").output.substr(256, 2), std::string("x\0", 2));
  const std::string config = ToolRun("dump pcicfg").output;
  ASSERT_EQ(config.size(), 4096u);
  EXPECT_EQ(config.substr(0, 4), "\x1D\x0E\x30\x52");
}

TEST_F(EmuTool, PeekAndPokeRegisters) {
  ASSERT_EQ(ToolRun("create").exit_code, 0);
  EXPECT_EQ(ToolRun("reg 0").output, "0x52300001\n");
  EXPECT_EQ(ToolRun("reg 0x100 0xCAFE").output, "0x0000cafe\n");
  EXPECT_EQ(ToolRun("reg 0x100").output, "0x0000cafe\n");
  EXPECT_EQ(ToolRun("phy 2").output, "0x0e1d\n");
  EXPECT_EQ(ToolRun("phy 0x20000010 0x12345678").output, "0x12345678\n");
  // A pinned register reads as pinned until unpinned; a write still reaches the model.
  EXPECT_EQ(ToolRun("phy 10 --pin 0x8800").output, "0x8800\n");
  EXPECT_EQ(ToolRun("phy 4 --pin 0x0001").output, "0x0001\n");
  EXPECT_EQ(ToolRun("phy 4 0x0061").output, "0x0001\n");
  EXPECT_EQ(ToolRun("phy 10").output, "0x8800\n");
  EXPECT_EQ(ToolRun("phy 4 --unpin").output, "0x0061\n");
  EXPECT_NE(ToolRun("show").output.find("phy pinned     0xa reads 0x8800\n"), std::string::npos);
  EXPECT_EQ(ToolRun("pcie 0x10 0xBEEF").output, "0xbeef\n");
}

TEST_F(EmuTool, LinkFaultStatsAndInfoReachTheState) {
  ASSERT_EQ(ToolRun("create").exit_code, 0);
  EXPECT_EQ(ToolRun("link --partner 1000fd,100fd,master --delay 100 --reply 1").output,
            "adapter 0: partner autoneg 1000fd,100fd,master, delay 100 ms, reply 1, policy "
            "advertise\n");
  EXPECT_EQ(ToolRun("clock --advance 100").exit_code, 0);
  EXPECT_NE(ToolRun("show").output.find("up, 1000 full duplex"), std::string::npos);
  EXPECT_EQ(ToolRun("fault --command E2P_WRITE_BLOCK --skip 1 --count always --error 31").output,
            "adapter 0: fault cmd=4 skip=1 count=always error=31\n");
  EXPECT_EQ(ToolRun("stats RxCrcErrors=5 48=0x10").exit_code, 0);
  EXPECT_EQ(ToolRun("info --pdo-name \\\\Device\\\\X --driver-version 1.2.3.4 --adapter-bits 1,2,3")
                .exit_code,
            0);
  const std::string state = StateText();
  for (const char* line :
       {"link_partner autoneg 1000fd,100fd,master\n", "link_mode_reply 1\n",
        "fault cmd=4 skip=1 count=always error=31\n", "stat 0 0x00000005\n", "stat 48 0x00000010\n",
        "pdo_name \"\\\\Device\\\\X\"\n", "driver_version 1 2 3 4\n"}) {
    EXPECT_NE(state.find(line), std::string::npos) << line << state;
  }
  EXPECT_EQ(ToolRun("fault --clear").exit_code, 0);
  EXPECT_EQ(StateText().find("fault "), std::string::npos);
}

TEST_F(EmuTool, LogListsAndClears) {
  ASSERT_EQ(ToolRun("create").exit_code, 0);
  WriteFileText(emu_.File("requests.log"),
                "cmd=8 in=4096 sig=0x10002 adapter=0 param=0x00000000 data=0x00000000 status=0 "
                "returned=20\n"
                "cmd=9 in=20 sig=0x20001 adapter=1 param=0x00000100 data=0xcafef00d error=2\n");
  EXPECT_EQ(ToolRun("log --adapter 1").output,
            "cmd=9 in=20 sig=0x20001 adapter=1 param=0x00000100 data=0xcafef00d error=2\n");
  EXPECT_EQ(ToolRun("log --clear").exit_code, 0);
  EXPECT_EQ(ToolRun("log").output, "");
}

}  // namespace
