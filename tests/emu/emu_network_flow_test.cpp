// emu_network_flow_test.cpp - the emulated network services: they refuse the calls a real system
// refuses, and account for what a run takes and must give back (Windows Sockets start-ups,
// sockets, libraries, static ARP entries).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "platform/emu/emu_platform.h"
#include "support/capture_console.h"
#include "support/emu_bench.h"

namespace {

using Lines = std::vector<std::string>;

class EmuNetwork : public ::testing::Test {
 protected:
  EmuNetwork() {
    bench_.CreateAdapter();
    platform_ = std::make_unique<EmuPlatform>(bench_.dir(), console_);
    uint32_t error = 0;
    EXPECT_TRUE(platform_->Services().device.Open(kControlDevicePath, &error));
  }
  ~EmuNetwork() override { platform_->Services().device.Close(); }
  EmuNetwork(const EmuNetwork&) = delete;
  EmuNetwork& operator=(const EmuNetwork&) = delete;

  NetworkServices& net() { return *platform_->Services().network; }
  uint32_t LastError() { return net().process.LastError(); }

  EmuBench bench_;
  CaptureConsole console_;
  std::unique_ptr<EmuPlatform> platform_;
};

TEST_F(EmuNetwork, RefusesWhatTheSystemWould) {
  Sockets& sockets = net().sockets;
  Process& process = net().process;
  sockets.Cleanup();
  EXPECT_EQ(LastError(), 10093u);  // WSANOTINITIALISED
  EXPECT_EQ(sockets.OpenRaw(kProtocolIcmp), kNoSocket);
  EXPECT_EQ(LastError(), 10093u);

  ASSERT_EQ(sockets.Startup(0x0202), 0);
  const SocketHandle socket = sockets.OpenRaw(kProtocolIcmp);
  EXPECT_TRUE(sockets.SetIpOption(socket, IpOption::kTimeToLive, 10));
  EXPECT_FALSE(sockets.SetIpOption(socket, static_cast<IpOption>(9), 1));
  EXPECT_EQ(LastError(), 10042u);  // WSAENOPROTOOPT
  sockets.Close(socket);
  sockets.Close(socket);
  EXPECT_EQ(LastError(), 10038u);  // WSAENOTSOCK
  sockets.Cleanup();

  const LibraryHandle icmp = process.Load("ICMP.DLL");
  process.Release(icmp);
  EXPECT_EQ(process.EntryPoint(icmp, "IcmpSendEcho"), 0u);
  EXPECT_EQ(LastError(), 126u);  // ERROR_MOD_NOT_FOUND
  process.Release(icmp);
  EXPECT_EQ(LastError(), 126u);

  EXPECT_EQ(platform_->NetworkProblems(),
            (Lines{"refused: WSACleanup without WSAStartup", "refused: socket without WSAStartup",
                   "refused: setsockopt of IP option 9, which the stack does not know",
                   "refused: closesocket on socket 256, which is not open",
                   "refused: GetProcAddress(IcmpSendEcho) in a library that is not loaded",
                   "refused: FreeLibrary of a library that is not loaded"}));
}

TEST_F(EmuNetwork, ReportsWhatARunKeeps) {
  Sockets& sockets = net().sockets;
  Process& process = net().process;
  IpHelper& ip_helper = net().ip_helper;
  ASSERT_EQ(sockets.Startup(0x0202), 0);
  ASSERT_EQ(sockets.Startup(0x0202), 0);
  const SocketHandle socket = sockets.OpenRaw(kProtocolIp);
  const LibraryHandle library = process.Load("Iphlpapi.dll");
  ASSERT_NE(library, kNoLibrary);
  EXPECT_EQ(process.Load("iphlpapi.dll"), library);
  const ArpEntry entry{.interface_index = 11, .address = {{192, 168, 1, 22}}};
  ASSERT_EQ(ip_helper.CreateIpNetEntry(entry), 0u);
  sockets.Cleanup();
  process.Release(library);
  EXPECT_EQ(
      platform_->NetworkProblems(),
      (Lines{"WSAStartup called 1 more time(s) than WSACleanup", "socket 256 left open",
             "Iphlpapi.dll left loaded", "static ARP entry 192.168.1.22 left on interface 11"}));

  sockets.Close(socket);
  sockets.Cleanup();
  process.Release(library);
  EXPECT_EQ(ip_helper.DeleteIpNetEntry(11, entry.address), 0u);
  EXPECT_EQ(platform_->NetworkProblems(), Lines{});
}

}  // namespace
