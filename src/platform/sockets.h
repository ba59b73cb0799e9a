// sockets.h - the Windows Sockets service as the network tests use it: start-up, raw IPv4
// sockets, the readable wait and receive-all capture.
#pragma once

#include <cstdint>

// An IPv4 address, first number first: 192.168.1.5 is {192, 168, 1, 5}.
struct Ip4Address {
  uint8_t octets[4] = {};

  bool operator==(const Ip4Address&) const = default;
};

// A socket as the system numbers it.
using SocketHandle = uint64_t;
constexpr SocketHandle kNoSocket = ~SocketHandle{0};

// Protocol numbers of raw IPv4 sockets.
constexpr int kProtocolIp = 0;
constexpr int kProtocolIcmp = 1;

// Thread error codes the network tests set or rely on.
constexpr uint32_t kErrorUnexpectedNetwork = 59;  // ERROR_UNEXP_NET_ERR
constexpr uint32_t kErrorTimedOut = 10060;        // WSAETIMEDOUT

enum class IpOption { kTimeToLive, kTypeOfService };

// Every failure leaves its reason in the thread's last error (Process::LastError).
class Sockets {
 public:
  virtual ~Sockets() = default;

  // Starts Windows Sockets |version| (major number in the low byte). Returns 0 or the error code.
  virtual int Startup(uint16_t version) = 0;
  virtual void Cleanup() = 0;
  // A raw IPv4 socket of |protocol|, or kNoSocket.
  virtual SocketHandle OpenRaw(int protocol) = 0;
  // An IP-level option with a 4-byte integer value.
  virtual bool SetIpOption(SocketHandle socket, IpOption option, int value) = 0;
  // Binds to |address|, port 0.
  virtual bool Bind(SocketHandle socket, const Ip4Address& address) = 0;
  // Sends |length| bytes to |to|, port 0, no flags. Returns the count sent, or -1.
  virtual int SendTo(SocketHandle socket, const uint8_t* data, int length,
                     const Ip4Address& to) = 0;
  // Waits at most |timeout_ms| for |socket| to become readable. False when the wait itself
  // failed; otherwise |*readable| says whether it became readable.
  virtual bool WaitReadable(SocketHandle socket, uint32_t timeout_ms, bool* readable) = 0;
  // One IPv4 packet, with its header, into |buffer|. Returns its length, or -1.
  virtual int ReceiveFrom(SocketHandle socket, uint8_t* buffer, int capacity, Ip4Address* from) = 0;
  // SIO_RCVALL: a bound raw socket receives every IPv4 packet of its interface, both ways.
  virtual bool ReceiveAll(SocketHandle socket, bool on) = 0;
  virtual void Close(SocketHandle socket) = 0;
};
