// network_state_test.cpp - the network part of the adapter state: its state-file lines, the tool
// commands that set it, and that it keeps what a run left (the ARP table).
#include <gtest/gtest.h>

#include "emu/network_model.h"
#include "emu/state_file.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

TEST(NetworkState, StateFileLines) {
  emu::AdapterState state = emu::MakeAdapter(0, {});
  const std::string plain = emu::FormatAdapterState(state);
  EXPECT_EQ(plain.find("net_"), std::string::npos);  // defaults write nothing

  emu::NetworkState& n = state.network;
  n.description = "QNT5231 \"second\" port";
  n.interface_index = 23;
  n.has_address = true;
  n.address = {192, 168, 1, 22};
  n.address_after = 4;
  n.has_physical = true;
  n.physical = {0x02, 0x00, 0x5E, 0x10, 0x00, 0x01};
  n.peers = {{.address = {192, 168, 1, 1}, .foreign = 2, .noise = 3, .reply_type = 3},
             {.address = {10, 0, 0, 9}, .silent = true, .delay_ms = 1500}};
  n.plug_speed = 100;
  n.plug_noise = 2;
  n.arp = {{.interface_index = 23,
            .address = {192, 168, 1, 21},
            .physical = {0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE}}};
  const std::string text = emu::FormatAdapterState(state);
  EXPECT_NE(text.find("peer 192.168.1.1 foreign=2 noise=3 type=3\n"), std::string::npos);
  EXPECT_NE(text.find("arp 23 192.168.1.21 00-aa-bb-cc-dd-ee 4\n"), std::string::npos);
  EXPECT_NE(text.find("net_physical 02-00-5e-10-00-01\n"), std::string::npos);
  emu::AdapterState parsed;
  std::string error;
  ASSERT_TRUE(emu::ParseAdapterState(text, &parsed, &error)) << error;
  EXPECT_EQ(parsed.network, state.network);

  for (const char* bad :
       {"net_address 192.168.1.256", "net_address 01.2.3.4", "plug 10", "peer 10.0.0.1 loud",
        "peer 10.0.0.1 type=256", "arp 23 192.168.1.21 00-aa-bb-cc-dd 4",
        "arp 23 192.168.1.21 00:aa:bb:cc:dd:ee 4", "net_interface -1",
        "net_physical 02-00-5e-10-00", "net_physical 02-00-5e-10-00-0g"}) {
    EXPECT_FALSE(emu::ParseAdapterState(plain + bad + "\n", &parsed, &error)) << bad;
  }
}

TEST(NetworkState, ToolCommands) {
  TempDir dir;
  const auto tool = [&](const std::string& arguments) {
    return RunEmuTool(dir.path().string(), arguments);
  };
  ASSERT_EQ(tool("create --chip QNT523F").exit_code, 0);
  ProgramRun run = tool("net --address 192.168.1.5 --address-after 3 --interface 9");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output,
            "adapter 0: \"QNT523F PCI Express Gigabit Ethernet Adapter\", interface 9, "
            "address 192.168.1.5 after 3 lookups, physical 00-00-00-00-00-00\n");
  // The board's MAC address once a memory holds an image (the OTP's before the EEPROM's), until
  // another address is set for the adapter.
  const std::string eeprom = dir.path().string() + "/eeprom.bin";
  WriteFileText(eeprom, std::string("\xA5\x00\x11\x22\x33\x44\x50", 7));
  ASSERT_EQ(tool("load eeprom " + eeprom).exit_code, 0);
  EXPECT_TRUE(tool("net").output.ends_with(", physical 00-11-22-33-44-50\n"));
  const std::string otp = dir.path().string() + "/otp.bin";
  WriteFileText(otp,
                "\xF7" + std::string(0x100, '\0') + std::string("\x00\x11\x22\x33\x44\x5F", 6));
  ASSERT_EQ(tool("load otp " + otp).exit_code, 0);
  EXPECT_TRUE(tool("net").output.ends_with(", physical 00-11-22-33-44-5f\n"));
  EXPECT_TRUE(tool("net --physical 02-00-5E-10-00-01")
                  .output.ends_with(", physical 02-00-5e-10-00-01 (set)\n"));
  EXPECT_TRUE(tool("net --physical board").output.ends_with(", physical 00-11-22-33-44-5f\n"));
  EXPECT_EQ(tool("net --physical 02-00-5e-10-00").exit_code, 2);
  run = tool("peer 192.168.1.1 --foreign 2 --delay 300");
  EXPECT_EQ(run.output, "adapter 0: peer 192.168.1.1 foreign=2 delay=300\n");
  run = tool("peer 192.168.1.2 --silent");
  EXPECT_EQ(run.output,
            "adapter 0: peer 192.168.1.1 foreign=2 delay=300\nadapter 0: peer 192.168.1.2 "
            "silent\n");
  run = tool("peer --remove 192.168.1.1");
  EXPECT_EQ(run.output, "adapter 0: peer 192.168.1.2 silent\n");
  run = tool("plug 1000 --noise 2");
  EXPECT_EQ(run.output, "adapter 0: loopback plug 1000 Mb/s, noise 2\n");
  EXPECT_EQ(tool("plug 10").exit_code, 2);
  EXPECT_EQ(tool("net --address 1.2.3").exit_code, 2);
  EXPECT_EQ(tool("peer 1.2.3.4 --type 300").exit_code, 2);
  EXPECT_EQ(tool("arp").output, "");
}

}  // namespace
