// win32_network.h - the network services on ws2_32, iphlpapi and kernel32.
#pragma once

#include "platform/ip_helper_calls.h"
#include "platform/ip_helper_logic.h"
#include "platform/network_services.h"

class Win32Sockets : public Sockets {
 public:
  int Startup(uint16_t version) override;
  void Cleanup() override;
  SocketHandle OpenRaw(int protocol) override;
  bool SetIpOption(SocketHandle socket, IpOption option, int value) override;
  bool Bind(SocketHandle socket, const Ip4Address& address) override;
  int SendTo(SocketHandle socket, const uint8_t* data, int length, const Ip4Address& to) override;
  bool WaitReadable(SocketHandle socket, uint32_t timeout_ms, bool* readable) override;
  int ReceiveFrom(SocketHandle socket, uint8_t* buffer, int capacity, Ip4Address* from) override;
  bool ReceiveAll(SocketHandle socket, bool on) override;
  void Close(SocketHandle socket) override;
};

class Win32Names : public Names {
 public:
  bool ParseDottedQuad(const char* text, Ip4Address* address) override;
  bool ResolveHost(const char* name, Ip4Address* address) override;
  bool NumericHost(const Ip4Address& address, char* text, size_t capacity) override;
};

class Win32IpHelperCalls : public IpHelperCalls {
 public:
  void* Allocate(uint32_t size) override;
  void Release(void* buffer) override;
  uint32_t AdaptersAddresses(void* buffer, uint32_t* size) override;
  AdapterRecord ReadAdapter(IpHelperRecord adapter) override;
  UnicastRecord ReadUnicast(IpHelperRecord unicast) override;
  uint32_t IpAddrTable(void* table, uint32_t* size) override;
  uint32_t AddressRowCount(const void* table) override;
  IpAddressRow AddressRow(const void* table, uint32_t index) override;
  uint32_t CreateIpNetEntry(const ArpEntry& entry) override;
  uint32_t DeleteIpNetEntry(uint32_t interface_index, const Ip4Address& address) override;
};

class Win32Process : public Process {
 public:
  uint32_t Id() override;
  uint32_t LastError() override;
  void SetLastError(uint32_t error) override;
  LibraryHandle Load(const char* name) override;
  uint64_t EntryPoint(LibraryHandle library, const char* name) override;
  void Release(LibraryHandle library) override;
};

// The four network services on the real APIs, as every Windows build wires them.
class Win32Network {
 public:
  NetworkServices& services() { return services_; }

 private:
  Win32Sockets sockets_;
  Win32Names names_;
  Win32IpHelperCalls ip_helper_calls_;
  IpHelperLogic ip_helper_{ip_helper_calls_};
  Win32Process process_;
  NetworkServices services_{sockets_, names_, ip_helper_, process_};
};
