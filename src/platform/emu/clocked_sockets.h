// clocked_sockets.h - the host's sockets with their waits on the emulated adapters' clock. The
// Windows test build waits on real sockets, in real time; an adapter on virtual time must see
// that time go by, as it sees a sleep, or a deadline counted on its clock never comes.
#pragma once

#include "emu/machine.h"
#include "platform/sockets.h"

class ClockedSockets : public Sockets {
 public:
  // |inner| and |machine| outlive this.
  ClockedSockets(Sockets& inner, emu::Machine& machine) : inner_(inner), machine_(machine) {}
  int Startup(uint16_t version) override { return inner_.Startup(version); }
  void Cleanup() override { inner_.Cleanup(); }
  SocketHandle OpenRaw(int protocol) override { return inner_.OpenRaw(protocol); }
  bool SetIpOption(SocketHandle socket, IpOption option, int value) override {
    return inner_.SetIpOption(socket, option, value);
  }
  bool Bind(SocketHandle socket, const Ip4Address& address) override {
    return inner_.Bind(socket, address);
  }
  int SendTo(SocketHandle socket, const uint8_t* data, int length, const Ip4Address& to) override {
    return inner_.SendTo(socket, data, length, to);
  }
  bool WaitReadable(SocketHandle socket, uint32_t timeout_ms, bool* readable) override;
  int ReceiveFrom(SocketHandle socket, uint8_t* buffer, int capacity, Ip4Address* from) override;
  bool ReceiveAll(SocketHandle socket, bool on) override { return inner_.ReceiveAll(socket, on); }
  void Close(SocketHandle socket) override { inner_.Close(socket); }

 private:
  Sockets& inner_;
  emu::Machine& machine_;
};
