// scripted_ip_helper_calls.cpp - the scripted IP Helper calls of the tests.
#include "support/scripted_ip_helper_calls.h"

#include <utility>

namespace {

// What a record of another family holds where an IPv4 address would be.
constexpr Ip4Address kOtherFamilyBytes = {{0xFE, 0x80, 0x00, 0x01}};

}  // namespace

void ScriptedIpHelperCalls::ExpectAdapters(uint32_t offered, uint32_t result, uint32_t needed,
                                           std::vector<Adapter> adapters) {
  expected_.push_back({.call = "GetAdaptersAddresses",
                       .offered = offered,
                       .result = result,
                       .needed = needed,
                       .adapters = std::move(adapters)});
}

void ScriptedIpHelperCalls::ExpectAddressTable(uint32_t offered, uint32_t result, uint32_t needed,
                                               std::vector<IpAddressRow> rows) {
  expected_.push_back({.call = "GetIpAddrTable",
                       .offered = offered,
                       .result = result,
                       .needed = needed,
                       .rows = std::move(rows)});
}

std::vector<std::string> ScriptedIpHelperCalls::Left() const {
  std::vector<std::string> left;
  for (const Expected& call : expected_) {
    left.push_back(std::string(call.call) + " offered " + std::to_string(call.offered));
  }
  for (const auto& [address, buffer] : buffers_) {
    left.push_back("a buffer of " + std::to_string(buffer.size) + " bytes");
  }
  return left;
}

void* ScriptedIpHelperCalls::Allocate(uint32_t size) {
  if (allocations_++ == failing_allocation_) return nullptr;
  Buffer buffer{.bytes = std::make_unique<uint8_t[]>(size + 1), .size = size};
  void* address = buffer.bytes.get();
  buffers_[address] = std::move(buffer);
  return address;
}

void ScriptedIpHelperCalls::Release(void* buffer) {
  const auto found = buffers_.find(buffer);
  if (found == buffers_.end()) {
    misuses_.push_back("released a buffer that is not allocated");
    return;
  }
  for (IpHelperRecord record : found->second.records) {
    adapters_.erase(record);
    unicasts_.erase(record);
  }
  buffers_.erase(found);
}

const ScriptedIpHelperCalls::Expected* ScriptedIpHelperCalls::Take(const char* call,
                                                                   const void* buffer,
                                                                   const uint32_t* size) {
  if (expected_.empty() || std::string(expected_.front().call) != call) {
    misuses_.push_back(std::string("unexpected ") + call);
    return nullptr;
  }
  taken_ = std::move(expected_.front());
  expected_.pop_front();
  if (*size != taken_.offered) {
    misuses_.push_back(std::string(call) + " offered " + std::to_string(*size) + " bytes, not " +
                       std::to_string(taken_.offered));
  }
  const auto found = buffers_.find(buffer);
  if (buffer != nullptr && (found == buffers_.end() || found->second.size < *size)) {
    misuses_.push_back(std::string(call) + " given a buffer smaller than its size says");
    return nullptr;
  }
  if (buffer == nullptr && *size != 0) {
    misuses_.push_back(std::string(call) + " given no buffer but a size");
    return nullptr;
  }
  return &taken_;
}

IpHelperRecord ScriptedIpHelperCalls::Record(Buffer& buffer, bool first) {
  IpHelperRecord record = buffer.bytes.get();
  if (!first) record = &handles_.emplace_back();
  buffer.records.push_back(record);
  return record;
}

void ScriptedIpHelperCalls::Fill(Buffer& buffer, const std::vector<Adapter>& adapters) {
  IpHelperRecord* link = nullptr;
  for (const Adapter& adapter : adapters) {
    const IpHelperRecord at = Record(buffer, link == nullptr);
    if (link != nullptr) *link = at;
    AdapterRecord& record = adapters_[at];
    record = {.description = adapter.description,
              .interface_index = adapter.interface_index,
              .physical = adapter.physical};
    IpHelperRecord* address_link = &record.first_unicast;
    for (const Unicast& unicast : adapter.unicast) {
      const IpHelperRecord address = Record(buffer, false);
      *address_link = address;
      UnicastRecord& entry = unicasts_[address];
      entry = {.ipv4 = unicast.ipv4, .address = unicast.ipv4 ? unicast.address : kOtherFamilyBytes};
      address_link = &entry.next;
    }
    link = &record.next;
  }
}

uint32_t ScriptedIpHelperCalls::AdaptersAddresses(void* buffer, uint32_t* size) {
  const Expected* call = Take("GetAdaptersAddresses", buffer, size);
  if (call == nullptr || buffer == nullptr) return kIpHelperBufferOverflow;
  *size = call->needed;
  if (call->result == kIpHelperNoError) Fill(buffers_[buffer], call->adapters);
  return call->result;
}

AdapterRecord ScriptedIpHelperCalls::ReadAdapter(IpHelperRecord adapter) {
  const auto found = adapters_.find(adapter);
  if (found != adapters_.end()) return found->second;
  misuses_.push_back("read an adapter no buffer holds");
  return {};
}

UnicastRecord ScriptedIpHelperCalls::ReadUnicast(IpHelperRecord unicast) {
  const auto found = unicasts_.find(unicast);
  if (found != unicasts_.end()) return found->second;
  misuses_.push_back("read an address no buffer holds");
  return {};
}

uint32_t ScriptedIpHelperCalls::IpAddrTable(void* table, uint32_t* size) {
  const Expected* call = Take("GetIpAddrTable", table, size);
  if (call == nullptr) return kIpHelperInsufficientBuffer;
  *size = call->needed;
  if (call->result == kIpHelperNoError && table != nullptr) buffers_[table].rows = call->rows;
  return call->result;
}

uint32_t ScriptedIpHelperCalls::AddressRowCount(const void* table) {
  const auto found = buffers_.find(table);
  if (found != buffers_.end()) return static_cast<uint32_t>(found->second.rows.size());
  misuses_.push_back("counted the rows of a table no buffer holds");
  return 0;
}

IpAddressRow ScriptedIpHelperCalls::AddressRow(const void* table, uint32_t index) {
  const auto found = buffers_.find(table);
  if (found != buffers_.end() && index < found->second.rows.size())
    return found->second.rows[index];
  misuses_.push_back("read a row the table does not hold");
  return {};
}

uint32_t ScriptedIpHelperCalls::CreateIpNetEntry(const ArpEntry& /*entry*/) {
  misuses_.push_back("unexpected CreateIpNetEntry");
  return kIpHelperNotEnoughMemory;
}

uint32_t ScriptedIpHelperCalls::DeleteIpNetEntry(uint32_t /*interface_index*/,
                                                 const Ip4Address& /*address*/) {
  misuses_.push_back("unexpected DeleteIpNetEntry");
  return kIpHelperNotEnoughMemory;
}
