// packet_test.cpp - unit tests of the network tests' pure routines: the destination check, the
// Internet checksum, the echo request and reply, the payload comparison, the loopback peer and
// the ARP text, and the messages of CPing's library loading.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "net/adapter_address.h"
#include "net/cping.h"
#include "net/loopback_peer.h"
#include "net_fakes.h"

namespace {

TEST(IsValidIpAddress, AcceptsAndRejects) {
  for (const char* good : {"10.0.0.1", "255.255.255.255", "1.0.0.1", "192.168.001.5"}) {
    EXPECT_TRUE(IsValidIpAddress(good)) << good;
  }
  for (const char* bad :
       {"10.0.0.0", "0.1.2.3", "1.2.3.", "1..2.3", ".1.2.3", "1.2.3.256", "1.2.3.4.5", "1.2.3.1234",
        "1.2.3.a", "", "10.100.100.1001", "100.100.100.100.", "1.2.3.4 "}) {
    EXPECT_FALSE(IsValidIpAddress(bad)) << bad;
  }
  EXPECT_FALSE(IsValidIpAddress("100.100.100.1000"));  // 16 characters
}

// Sums 16-bit words as the wire holds them (first byte high), independently of CPing.
uint16_t OnesComplementSum(const std::vector<uint8_t>& bytes) {
  uint32_t sum = 0;
  for (size_t i = 0; i < bytes.size(); i += 2) {
    sum += static_cast<uint32_t>(bytes[i]) << 8 | (i + 1 < bytes.size() ? bytes[i + 1] : 0);
  }
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint16_t>(sum);
}

TEST(InternetChecksum, Rfc1071Vectors) {
  FakeNet net;
  CPing ping(net.run);
  // RFC 1071 section 3: 00 01 f2 03 f4 f5 f6 f7 sums to ddf2 in network order; the checksum
  // 220d stored in host (little-endian) order is the value 0x0d22.
  const uint8_t rfc[] = {0x00, 0x01, 0xF2, 0x03, 0xF4, 0xF5, 0xF6, 0xF7};
  EXPECT_EQ(ping.InternetChecksum(rfc, 8), 0x0D22);
  // A final odd byte counts as its own value.
  const uint8_t odd[] = {0x01, 0x02, 0x03};
  EXPECT_EQ(ping.InternetChecksum(odd, 3), static_cast<uint16_t>(~(0x0201 + 0x03)));
  // Carries folded in twice: ffff + ffff + 0001 = 0x1ffff, 0xffff + 1 = 0x10000, then 0x0001.
  const uint8_t carries[] = {0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00};
  EXPECT_EQ(ping.InternetChecksum(carries, 6), 0xFFFE);
  EXPECT_EQ(ping.InternetChecksum(rfc, 0), 0xFFFF);
}

TEST(BuildEchoRequest, FieldsOfThe44ByteRequest) {
  FakeNet net;
  CPing ping(net.run);
  net.clock.Sleep(0x01020304);  // the tick count at build time
  std::vector<uint8_t> request(44, 0xAA);
  const uint16_t checksum = ping.BuildEchoRequest(request.data(), 44, 0x0102, 0x12345678);

  const std::vector<uint8_t> head = {8,    0,    request[2], request[3], 0x78, 0x56,
                                     0x02, 0x01, 0x04,       0x03,       0x02, 0x01};
  EXPECT_EQ(std::vector<uint8_t>(request.begin(), request.begin() + 12), head);
  EXPECT_EQ(std::vector<uint8_t>(request.begin() + 12, request.end()),
            std::vector<uint8_t>(32, 0x45));
  EXPECT_EQ(request[2] | request[3] << 8, checksum);
  EXPECT_EQ(OnesComplementSum(request), 0xFFFF);  // a valid checksum sums to all ones
}

// An IPv4 packet with a header of |header_words| 32-bit words and the ICMP fields given.
std::vector<uint8_t> Reply(int header_words, uint8_t type, uint16_t identifier, uint16_t sequence,
                           size_t size = 0) {
  std::vector<uint8_t> packet(header_words * 4 + 44, 0);
  packet[0] = static_cast<uint8_t>(0x40 | header_words);
  uint8_t* icmp = packet.data() + header_words * 4;
  icmp[0] = type;
  icmp[4] = static_cast<uint8_t>(identifier);
  icmp[5] = static_cast<uint8_t>(identifier >> 8);
  icmp[6] = static_cast<uint8_t>(sequence);
  icmp[7] = static_cast<uint8_t>(sequence >> 8);
  if (size != 0) packet.resize(size);
  return packet;
}

TEST(CheckEchoReply, MatchForeignWrongTypeShort) {
  FakeNet net;
  CPing ping(net.run);
  const uint16_t own = 0xABCD;  // low 16 bits of the process id
  int keep_waiting = -1;
  const Ip4Address from;

  std::vector<uint8_t> packet = Reply(5, 0, own, 0);
  EXPECT_EQ(
      ping.CheckEchoReply(packet.data(), static_cast<int>(packet.size()), from, 0, &keep_waiting),
      1);
  EXPECT_EQ(keep_waiting, 0);

  packet = Reply(6, 0, own, 0);  // options in the IP header move the ICMP message
  EXPECT_EQ(ping.CheckEchoReply(packet.data(), 68, from, 0, &keep_waiting), 1);

  for (const auto& other : {Reply(5, 0, own ^ 1, 0), Reply(5, 0, own, 1)}) {
    EXPECT_EQ(ping.CheckEchoReply(other.data(), 64, from, 0, &keep_waiting), 0);
    EXPECT_EQ(keep_waiting, 1);
  }

  for (const uint8_t type : {3, 8}) {  // unreachable, and an echo request coming back
    net.process.last_error = 0;
    packet = Reply(5, type, own, 0);
    EXPECT_EQ(ping.CheckEchoReply(packet.data(), 64, from, 0, &keep_waiting), 0);
    EXPECT_EQ(keep_waiting, 0);
    EXPECT_EQ(net.process.last_error, kErrorUnexpectedNetwork);
  }

  net.process.last_error = 0;
  packet = Reply(5, 0, own, 0);
  EXPECT_EQ(ping.CheckEchoReply(packet.data(), 31, from, 0, &keep_waiting), 0);
  EXPECT_EQ(keep_waiting, 1);
  EXPECT_EQ(net.process.last_error, kErrorUnexpectedNetwork);
  EXPECT_EQ(ping.CheckEchoReply(packet.data(), 32, from, 0, &keep_waiting), 1);
}

TEST(ComparePayload, BytesAfterTheHeader) {
  FakeNet net;
  CPing ping(net.run);
  const std::vector<uint8_t> sent(32, 0x45);
  std::vector<uint8_t> packet(24 + 32, 0x45);
  packet[0] = 0x46;  // 24-byte header
  EXPECT_EQ(ping.ComparePayload(packet.data(), 56, sent.data(), 32), 1);
  for (size_t position : {24u, 40u, 55u}) {
    std::vector<uint8_t> changed = packet;
    changed[position] = 0x46;
    EXPECT_EQ(ping.ComparePayload(changed.data(), 56, sent.data(), 32), 0) << position;
  }
  net.process.last_error = 0;
  EXPECT_EQ(ping.ComparePayload(packet.data(), 55, sent.data(), 32), 0);
  EXPECT_EQ(net.process.last_error, kErrorUnexpectedNetwork);
}

TEST(GetLoopbackPeerAddress, NeighbourOfTheOwnAddress) {
  char peer[kPeerAddressSize];
  const std::pair<const char*, const char*> cases[] = {
      {"192.168.1.22", "192.168.1.21"},
      {"192.168.1.5", "192.168.1.22"},
      {"10.0.0.221", "10.0.0.22"},
      {"10.0.0.2", "10.0.0.22"},
      {"1234567890.1.1.", "1234567890.1.1.22"},
  };
  for (const auto& [own, expected] : cases) {
    EXPECT_TRUE(GetLoopbackPeerAddress(own, peer)) << own;
    EXPECT_STREQ(peer, expected);
  }
  for (const char* bad : {"192.168.1", "192.168.1.5.6", "192.168.1.x", "192.168.100.1000"}) {
    EXPECT_FALSE(GetLoopbackPeerAddress(bad, peer)) << bad;
    EXPECT_STREQ(peer, "");
  }
}

TEST(ParsePhysicalAddress, PairsOfHexDigits) {
  uint8_t physical[6] = {};
  EXPECT_TRUE(ParsePhysicalAddress("00-aa-bb-cc-dd-ee", physical));
  EXPECT_EQ(std::vector<uint8_t>(physical, physical + 6),
            (std::vector<uint8_t>{0x00, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE}));
  EXPECT_TRUE(ParsePhysicalAddress("0F:A0:b1:C2:d3:E4", physical));
  EXPECT_EQ(physical[0], 0x0F);
  EXPECT_EQ(physical[5], 0xE4);
  EXPECT_FALSE(ParsePhysicalAddress("00-aa-bb-cc-dd-eg", physical));
  EXPECT_FALSE(ParsePhysicalAddress("00-aa-bb", physical));
}

TEST(CPingConstruction, LibraryMessages) {
  FakeNet net;
  { CPing ping(net.run); }
  EXPECT_EQ(net.console.TakeOutput(), "");
  EXPECT_EQ(net.process.loaded, 0);

  net.process.missing_entry_points = {"Iphlpapi.dll:IcmpSendEcho"};
  {
    CPing ping(net.run);
    EXPECT_TRUE(ping.has_module());
  }
  EXPECT_EQ(net.console.TakeOutput(),
            "ERROR: CPing::CPing, Could not find the required functions in the Iphlpapi dll, "
            "will try ICMP.dll\n"
            "ERROR: CPing::CPing, Falling back to trying ICMP DLL\n");
  EXPECT_EQ(net.process.loaded, 0);

  net.process.missing_entry_points.insert("ICMP.DLL:IcmpCloseHandle");
  { CPing ping(net.run); }
  EXPECT_EQ(net.console.TakeOutput(),
            "ERROR: CPing::CPing, Could not find the required functions in the Iphlpapi dll, "
            "will try ICMP.dll\n"
            "ERROR: CPing::CPing, Falling back to trying ICMP DLL\n"
            "ERROR: CPing::CPing, Could not find the required functions in the ICMP.dll\n");

  net.process.libraries.clear();
  {
    CPing ping(net.run);
    EXPECT_FALSE(ping.has_module());
  }
  EXPECT_EQ(net.console.TakeOutput(),
            "ERROR: CPing::CPing, Falling back to trying ICMP DLL\n"
            "ERROR: CPing::CPing, Could not load up the ICMP dll\n");
  EXPECT_EQ(net.process.loaded, 0);
}

// A machine without a performance counter: every ping try fails with its message.
TEST(PingUsingWinsock, NoPerformanceCounter) {
  class NoCounterClock : public VirtualClock {
   public:
    bool QueryPerformanceFrequency(int64_t*) override { return false; }
  };
  FakeNet net;
  NoCounterClock clock;
  const NetRun run{net.services, clock, net.console};
  CPing ping(run);
  EXPECT_EQ(ping.PingUsingWinsock("10.0.0.1", 1, ""), 0);
  EXPECT_EQ(net.console.TakeOutput(),
            "ERROR: CPing::PingUsingWinsock, Failed to get the high performance counter "
            "frequency\n");
  EXPECT_EQ(ping.loopbackTest(12, "10.0.0.5"), 0);
  EXPECT_EQ(net.console.TakeOutput(),
            "ERROR: CPing::loopbackTest, Failed to get the high performance counter frequency\n");
}

}  // namespace
