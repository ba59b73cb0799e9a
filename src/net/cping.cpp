// cping.cpp - CPing's construction and the packet routines of the echo and loopback exchanges.
#include "net/cping.h"

#include <cstring>

#include "common/little_endian.h"
#include "net/packet_bytes.h"

namespace {

constexpr int kEchoHeaderSize = 12;  // type, code, checksum, identifier, sequence, tick count
constexpr uint8_t kEchoRequest = 8;
constexpr uint8_t kEchoReply = 0;
constexpr uint8_t kPayloadByte = 0x45;  // 'E'
constexpr int kFillPayloadStart = 20;

const char* const kEntryPointNames[] = {"IcmpCreateFile", "IcmpSendEcho", "IcmpCloseHandle"};

}  // namespace

CPing::CPing(const NetRun& run) : run_(run) {
  Process& process = run_.services.process;
  module_ = process.Load("Iphlpapi.dll");
  if (module_ != kNoLibrary && !LoadEntryPoints()) {
    run_.console.Error(
        "CPing::CPing, Could not find the required functions in the Iphlpapi dll, will try "
        "ICMP.dll\n");
    ReleaseModule();
  }
  if (module_ != kNoLibrary) return;

  run_.console.Error("CPing::CPing, Falling back to trying ICMP DLL\n");
  module_ = process.Load("ICMP.DLL");
  if (module_ == kNoLibrary) {
    run_.console.Error("CPing::CPing, Could not load up the ICMP dll\n");
    return;
  }
  if (!LoadEntryPoints()) {
    run_.console.Error("CPing::CPing, Could not find the required functions in the ICMP.dll\n");
    ReleaseModule();
  }
}

CPing::~CPing() { ReleaseModule(); }

bool CPing::LoadEntryPoints() {
  Process& process = run_.services.process;
  icmp_create_file_ = process.EntryPoint(module_, kEntryPointNames[0]);
  icmp_send_echo_ = process.EntryPoint(module_, kEntryPointNames[1]);
  icmp_close_handle_ = process.EntryPoint(module_, kEntryPointNames[2]);
  return icmp_create_file_ != 0 && icmp_send_echo_ != 0 && icmp_close_handle_ != 0;
}

void CPing::ReleaseModule() {
  if (module_ != kNoLibrary) run_.services.process.Release(module_);
  module_ = kNoLibrary;
  icmp_create_file_ = 0;
  icmp_send_echo_ = 0;
  icmp_close_handle_ = 0;
}

bool CPing::BindToAddress(SocketHandle socket, const char* address) {
  Ip4Address local;
  if (!run_.services.names.ParseDottedQuad(address, &local)) return false;
  return run_.services.sockets.Bind(socket, local);
}

uint16_t CPing::BuildEchoRequest(uint8_t* buffer, int size, uint16_t sequence,
                                 uint32_t identifier) {
  buffer[0] = kEchoRequest;
  buffer[1] = 0;
  PutLe16(buffer, 2, 0);
  PutLe16(buffer, 4, identifier & 0xFFFF);
  PutLe16(buffer, 6, sequence);
  PutLe32(buffer, 8, run_.clock.GetTickCount());
  if (size > kEchoHeaderSize)
    std::memset(buffer + kEchoHeaderSize, kPayloadByte, size - kEchoHeaderSize);
  const uint16_t checksum = InternetChecksum(buffer, size);
  PutLe16(buffer, 2, checksum);
  return checksum;
}

int CPing::CheckEchoReply(const uint8_t* packet, int length, const Ip4Address& /*from*/,
                          uint16_t sequence, int* keep_waiting) {
  *keep_waiting = 1;
  const int header_length = IpHeaderLength(packet);
  if (length < header_length + kEchoHeaderSize) {
    run_.services.process.SetLastError(kErrorUnexpectedNetwork);
    return 0;
  }
  const uint8_t* icmp = packet + header_length;
  const uint16_t own_identifier = static_cast<uint16_t>(run_.services.process.Id());
  if (GetLe16(icmp, 4) != own_identifier || GetLe16(icmp, 6) != sequence) return 0;
  *keep_waiting = 0;
  if (icmp[0] != kEchoReply) {
    run_.services.process.SetLastError(kErrorUnexpectedNetwork);
    return 0;
  }
  return 1;
}

int CPing::ComparePayload(const uint8_t* packet, int length, const uint8_t* sent, int count) {
  const int header_length = IpHeaderLength(packet);
  if (length < header_length + count) {
    run_.services.process.SetLastError(kErrorUnexpectedNetwork);
    return 0;
  }
  return std::memcmp(packet + header_length, sent, static_cast<size_t>(count)) == 0 ? 1 : 0;
}

uint16_t CPing::InternetChecksum(const uint8_t* data, int length) {
  uint32_t sum = 0;
  int position = 0;
  for (; position + 1 < length; position += 2) sum += GetLe16(data, position);
  if (position < length) sum += data[position];
  sum = (sum >> 16) + (sum & 0xFFFF);
  sum += sum >> 16;
  return static_cast<uint16_t>(~sum);
}

void CPing::FillPayload(uint8_t* buffer, int size) {
  for (int i = kFillPayloadStart; i < size; ++i) buffer[i] = kPayloadByte;
}

int WaitForReadable(Sockets& sockets, SocketHandle socket, int* readable) {
  constexpr uint32_t kWaitMilliseconds = 1000;
  bool ready = false;
  if (!sockets.WaitReadable(socket, kWaitMilliseconds, &ready)) return 0;
  *readable = ready ? 1 : 0;
  return 1;
}
