// clocked_sockets_test.cpp - the Windows test build's socket waits on the adapters' clock: a wait
// that ran out moves virtual time by its whole timeout, one that was answered by no more than
// the real time it took.
#include "platform/emu/clocked_sockets.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

// Host sockets that answer every wait at once, readable or not as told.
class InstantSockets : public Sockets {
 public:
  bool readable = false;

  int Startup(uint16_t) override { return 0; }
  void Cleanup() override {}
  SocketHandle OpenRaw(int) override { return 3; }
  bool SetIpOption(SocketHandle, IpOption, int) override { return true; }
  bool Bind(SocketHandle, const Ip4Address&) override { return true; }
  int SendTo(SocketHandle, const uint8_t*, int length, const Ip4Address&) override {
    return length;
  }
  bool WaitReadable(SocketHandle, uint32_t, bool* ready) override {
    *ready = readable;
    return true;
  }
  int ReceiveFrom(SocketHandle, uint8_t*, int, Ip4Address*) override { return 0; }
  bool ReceiveAll(SocketHandle, bool) override { return true; }
  void Close(SocketHandle) override {}
};

TEST(ClockedSockets, AWaitThatRanOutTakesItsWholeTimeoutAndAnAnsweredOneAlmostNone) {
  TempDir dir;
  emu::Machine machine(dir.path().string());  // no adapter: the machine's own virtual time
  InstantSockets host;
  ClockedSockets sockets(host, machine);
  bool readable = true;

  ASSERT_TRUE(sockets.WaitReadable(3, 1000, &readable));
  EXPECT_FALSE(readable);
  EXPECT_EQ(machine.NowMs(), 1000);

  host.readable = true;
  ASSERT_TRUE(sockets.WaitReadable(3, 1000, &readable));
  EXPECT_TRUE(readable);
  EXPECT_LT(machine.NowMs(), 1500);
}

}  // namespace
