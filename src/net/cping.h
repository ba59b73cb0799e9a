// cping.h - CPing: the ICMP echo exchange of the ping and the raw-socket exchange of the loopback
// test, with the packet routines both share.
#pragma once

#include <cstddef>
#include <cstdint>

#include "net/net_run.h"

class CPing {
 public:
  // Loads the ICMP support library and looks up its entry points; a failure only prints.
  explicit CPing(const NetRun& run);
  virtual ~CPing();
  CPing(const CPing&) = delete;
  CPing& operator=(const CPing&) = delete;

  // Binds |socket| to the IPv4 address |address| (numeric text), port 0.
  virtual bool BindToAddress(SocketHandle socket, const char* address);
  // Fills |size| bytes with an echo request; returns the checksum stored in it.
  virtual uint16_t BuildEchoRequest(uint8_t* buffer, int size, uint16_t sequence,
                                    uint32_t identifier);
  // Whether |packet| (IPv4, |length| bytes) is the awaited echo reply; 1 for a match.
  // |*keep_waiting| tells the receive loop whether to go on listening.
  virtual int CheckEchoReply(const uint8_t* packet, int length, const Ip4Address& from,
                             uint16_t sequence, int* keep_waiting);
  // 1 when the bytes right after |packet|'s IP header are the |count| bytes of |sent|.
  virtual int ComparePayload(const uint8_t* packet, int length, const uint8_t* sent, int count);
  // RFC 1071 over |length| bytes, 16-bit words in the host's (little-endian) order.
  virtual uint16_t InternetChecksum(const uint8_t* data, int length);
  // Sets bytes 20 to |size| - 1 to 'E'. Nothing calls it.
  virtual void FillPayload(uint8_t* buffer, int size);

  // One echo exchange with |host| from the adapter address |source| (numeric text; empty: where
  // the system routes it); 1 when the matching reply arrived. Failures are silent and leave their
  // reason in the last error.
  int PingUsingWinsock(const char* host, uint32_t identifier, const char* source);
  // One exchange through the loopback connector from the adapter |address| on interface
  // |interface_index|; 1 on a pass. Failures are silent except a missing performance counter.
  int loopbackTest(int32_t interface_index, const char* address);

  bool has_module() const { return module_ != kNoLibrary; }

 private:
  bool LoadEntryPoints();
  void ReleaseModule();

  NetRun run_;
  LibraryHandle module_ = kNoLibrary;
  uint64_t icmp_create_file_ = 0;
  uint64_t icmp_send_echo_ = 0;
  uint64_t icmp_close_handle_ = 0;
};

// Waits at most a second for |socket| to become readable. Returns 0 when the wait failed, else 1
// with |*readable| 1 when the socket became readable.
int WaitForReadable(Sockets& sockets, SocketHandle socket, int* readable);
