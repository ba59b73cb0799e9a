// ip_helper_logic.h - the IP Helper service written over its raw calls, so that the one logic
// serves the real system and runs in the tests against prepared adapter lists.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/ip_helper.h"
#include "platform/ip_helper_calls.h"

class IpHelperLogic : public IpHelper {
 public:
  explicit IpHelperLogic(IpHelperCalls& calls) : calls_(calls) {}

  // Offers a small buffer first and, when the system asks for more, one of the size it asks for.
  uint32_t GetAdaptersAddresses(std::vector<HostAdapter>* adapters) override;
  // Asks for the size first, then reads into a buffer of that size.
  uint32_t GetIpAddrTable(std::vector<IpAddressRow>* rows) override;
  uint32_t CreateIpNetEntry(const ArpEntry& entry) override;
  uint32_t DeleteIpNetEntry(uint32_t interface_index, const Ip4Address& address) override;

 private:
  std::vector<HostAdapter> AdaptersIn(const void* buffer);

  IpHelperCalls& calls_;
};
