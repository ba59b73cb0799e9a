// net_fakes.h - network services for unit tests of the packet routines and of CPing's
// construction: a process whose libraries and id the test chooses; the other services refuse.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "net/net_run.h"
#include "support/capture_console.h"
#include "support/virtual_clock.h"

class FakeProcess : public Process {
 public:
  uint32_t id = 0x4321ABCD;
  uint32_t last_error = 0;
  std::set<std::string> libraries{"Iphlpapi.dll", "ICMP.DLL"};
  std::set<std::string> missing_entry_points;  // "library:name"
  int loaded = 0;

  uint32_t Id() override { return id; }
  uint32_t LastError() override { return last_error; }
  void SetLastError(uint32_t error) override { last_error = error; }
  LibraryHandle Load(const char* name) override {
    if (libraries.count(name) == 0) return kNoLibrary;
    names_.push_back(name);
    ++loaded;
    return names_.size();
  }
  uint64_t EntryPoint(LibraryHandle library, const char* name) override {
    return missing_entry_points.count(names_[library - 1] + ":" + name) ? 0 : 1;
  }
  void Release(LibraryHandle) override { --loaded; }

 private:
  std::vector<std::string> names_;
};

class NoSockets : public Sockets {
 public:
  int Startup(uint16_t) override { return 10091; }
  void Cleanup() override {}
  SocketHandle OpenRaw(int) override { return kNoSocket; }
  bool SetIpOption(SocketHandle, IpOption, int) override { return false; }
  bool Bind(SocketHandle, const Ip4Address&) override { return false; }
  int SendTo(SocketHandle, const uint8_t*, int, const Ip4Address&) override { return -1; }
  bool WaitReadable(SocketHandle, uint32_t, bool*) override { return false; }
  int ReceiveFrom(SocketHandle, uint8_t*, int, Ip4Address*) override { return -1; }
  bool ReceiveAll(SocketHandle, bool) override { return false; }
  void Close(SocketHandle) override {}
};

class NoNames : public Names {
 public:
  bool ParseDottedQuad(const char*, Ip4Address*) override { return false; }
  bool ResolveHost(const char*, Ip4Address*) override { return false; }
  bool NumericHost(const Ip4Address&, char*, size_t) override { return false; }
};

class NoIpHelper : public IpHelper {
 public:
  uint32_t GetAdaptersAddresses(std::vector<HostAdapter>*) override { return 1; }
  uint32_t GetIpAddrTable(std::vector<IpAddressRow>*) override { return 1; }
  uint32_t CreateIpNetEntry(const ArpEntry&) override { return 1; }
  uint32_t DeleteIpNetEntry(uint32_t, const Ip4Address&) override { return 1; }
};

struct FakeNet {
  FakeProcess process;
  NoSockets sockets;
  NoNames names;
  NoIpHelper ip_helper;
  NetworkServices services{sockets, names, ip_helper, process};
  VirtualClock clock;
  CaptureConsole console;
  NetRun run{services, clock, console};
};
