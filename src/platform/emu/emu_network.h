// emu_network.h - the network services of a run against the emulated adapters: sockets, names,
// IP Helper and the process, over the network around each loaded adapter. Waits move the same
// clock as the sleeps.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "emu/machine.h"
#include "emu/network_model.h"
#include "platform/network_services.h"

// The process side: its last error, its sockets with the packets waiting in them, the adapter
// lookups of the run, and what the run holds that it must give back (Windows Sockets start-ups,
// sockets, libraries, ARP entries) with every call a real system would have refused.
struct EmuNetState {
  struct Socket {
    int protocol = 0;
    bool bound = false;
    emu::Ip4 local{};
    bool receive_all = false;
    std::deque<emu::Arrival> queue;  // in order of arrival
  };

  explicit EmuNetState(emu::Machine& machine) : machine(machine) {}

  // A call the system refused because the program misused it: |error| becomes the last error and
  // |what| is kept for Problems().
  void Refuse(uint32_t error, std::string what);
  // Everything the run left open or misused, one line each; empty when it gave back all it took.
  std::vector<std::string> Problems() const;

  emu::Machine& machine;
  uint32_t last_error = 0;
  int started = 0;  // WSAStartup calls not yet matched by WSACleanup
  SocketHandle next_socket = 0x100;
  std::map<SocketHandle, Socket> sockets;
  uint32_t lookups = 0;  // GetAdaptersAddresses calls so far
  struct Library {
    std::string name;
    int loads = 0;  // LoadLibrary calls not yet matched by FreeLibrary
  };
  std::map<LibraryHandle, Library> libraries;
  std::vector<emu::ArpRecord> added_arp;  // static entries the run added and has not removed
  std::vector<std::string> refused;       // misuses, in order
};

class EmuSockets : public Sockets {
 public:
  explicit EmuSockets(EmuNetState& state) : state_(state) {}
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

 private:
  // The open socket |socket| of a started Windows Sockets, else null after refusing the call.
  EmuNetState::Socket* Find(SocketHandle socket, const char* call);
  void Deliver(const emu::Arrival& arrival, const emu::Ip4& host);
  EmuNetState& state_;
};

class EmuNames : public Names {
 public:
  bool ParseDottedQuad(const char* text, Ip4Address* address) override;
  bool ResolveHost(const char* name, Ip4Address* address) override;
  bool NumericHost(const Ip4Address& address, char* text, size_t capacity) override;
};

class EmuIpHelper : public IpHelper {
 public:
  explicit EmuIpHelper(EmuNetState& state) : state_(state) {}
  uint32_t GetAdaptersAddresses(std::vector<HostAdapter>* adapters) override;
  uint32_t GetIpAddrTable(std::vector<IpAddressRow>* rows) override;
  uint32_t CreateIpNetEntry(const ArpEntry& entry) override;
  uint32_t DeleteIpNetEntry(uint32_t interface_index, const Ip4Address& address) override;

 private:
  EmuNetState& state_;
};

class EmuProcess : public Process {
 public:
  explicit EmuProcess(EmuNetState& state) : state_(state) {}
  uint32_t Id() override;
  uint32_t LastError() override { return state_.last_error; }
  void SetLastError(uint32_t error) override { state_.last_error = error; }
  LibraryHandle Load(const char* name) override;
  uint64_t EntryPoint(LibraryHandle library, const char* name) override;
  void Release(LibraryHandle library) override;

 private:
  EmuNetState& state_;
};
