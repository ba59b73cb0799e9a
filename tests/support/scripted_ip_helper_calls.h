// scripted_ip_helper_calls.h - the IP Helper's raw calls played from a script, for tests of the
// IP Helper logic on every system. Each expected call names the buffer size it must be offered,
// the result and size it answers and what it fills the buffer with. It refuses what the system
// would (a buffer smaller than the size claimed, a record read from a buffer that was not filled
// or was released) and reports the calls never made and the buffers never released.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ip_helper_calls.h"

class ScriptedIpHelperCalls : public IpHelperCalls {
 public:
  struct Unicast {
    bool ipv4 = true;
    Ip4Address address;  // of an IPv4 address
  };
  struct Adapter {
    std::string description;
    uint32_t interface_index = 0;
    std::vector<uint8_t> physical;
    std::vector<Unicast> unicast;
  };

  // The next call is GetAdaptersAddresses offered |offered| bytes; it answers |result| with the
  // size |needed|, and on success fills the buffer with |adapters|.
  void ExpectAdapters(uint32_t offered, uint32_t result, uint32_t needed,
                      std::vector<Adapter> adapters = {});
  // The next call is GetIpAddrTable offered |offered| bytes, likewise.
  void ExpectAddressTable(uint32_t offered, uint32_t result, uint32_t needed,
                          std::vector<IpAddressRow> rows = {});
  // Allocation number |which| (from 0) finds no memory.
  void FailAllocation(int which) { failing_allocation_ = which; }

  const std::vector<std::string>& misuses() const { return misuses_; }
  std::vector<std::string> Left() const;  // the expected calls not made, the buffers kept

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

 private:
  struct Expected {
    const char* call;
    uint32_t offered;
    uint32_t result;
    uint32_t needed;
    std::vector<Adapter> adapters;
    std::vector<IpAddressRow> rows;
  };
  struct Buffer {
    std::unique_ptr<uint8_t[]> bytes;
    uint32_t size = 0;
    std::vector<IpHelperRecord> records;  // of what a call filled it with
    std::vector<IpAddressRow> rows;
  };

  // The expectation of |call| offered |*size| bytes in |buffer|, or null (a misuse noted).
  const Expected* Take(const char* call, const void* buffer, const uint32_t* size);
  IpHelperRecord Record(Buffer& buffer, bool first);
  void Fill(Buffer& buffer, const std::vector<Adapter>& adapters);

  std::deque<Expected> expected_;
  Expected taken_;
  std::map<const void*, Buffer> buffers_;
  std::map<IpHelperRecord, AdapterRecord> adapters_;
  std::map<IpHelperRecord, UnicastRecord> unicasts_;
  std::deque<char> handles_;  // one byte a record after a buffer's first: its address names it
  std::vector<std::string> misuses_;
  int allocations_ = 0;
  int failing_allocation_ = -1;
};
