// run_results.cpp - the operations a command line chose, by the names the results give them.
#include "app/run_results.h"

#include <iterator>

namespace {

struct NamedCode {
  uint32_t code;
  const char* name;
};

constexpr NamedCode kOperationNames[] = {
    {kOpReadRegister, "read_register"},
    {kOpWriteRegister, "write_register"},
    {kOpReadPhy, "read_phy"},
    {kOpWritePhy, "write_phy"},
    {kOpReadPciConfig, "read_pci_config"},
    {kOpWritePciConfig, "write_pci_config"},
    {kOpReadPciePhy, "read_pcie_phy"},
    {kOpWritePciePhy, "write_pcie_phy"},
    {kOpSetLinkState, "set_link_state"},
    {kOpCableDiagnostics, "cable_test"},
};

// -G by its selector; -G u queries nothing.
constexpr NamedCode kQueryNames[] = {
    {'v', "driver_version"},       {'b', "adapter_bits"},     {'l', "adapter_location"},
    {'k', "adapter_registry_key"}, {'o', "adapter_pdo_name"}, {'p', "adapter_port"},
    {'e', "statistics"},           {'u', "get_info"},
};

const char* NameOf(const NamedCode* table, size_t count, uint32_t code) {
  for (size_t row = 0; row < count; ++row) {
    if (table[row].code == code) return table[row].name;
  }
  return nullptr;
}

const char* MemoryOperation(const CommandOptions& options) {
  switch (options.Operation) {
    case kOpWrite:
      return options.OtpMode ? "otp_write" : "eeprom_write";
    case kOpRead:
      return options.OtpMode ? "otp_read" : "eeprom_read";
    default:
      break;
  }
  if (options.ImageFileName.IsSet()) return options.OtpMode ? "otp_image_file" : "image_file";
  return nullptr;
}

// The operations of a programming run: its memory stage, the link mode, the network test.
void AddSequence(const CommandOptions& options, std::vector<std::string>& operations) {
  if (const char* memory = MemoryOperation(options)) operations.emplace_back(memory);
  const bool loopback = options.NetworkTest == kNetworkTestLoopback;
  if (options.LinkModeGiven && options.LinkMode > 0 && !loopback) {
    operations.emplace_back("link_mode");
  }
  if (options.NetworkTest == kNetworkTestPing && options.PingAddressGiven) {
    operations.emplace_back("ping");
  }
  if (loopback) operations.emplace_back("loopback");
}

}  // namespace

RunResults ResultsOf(const CommandOptions& options, const RequestWords& words) {
  RunResults results;
  results.adapter = words.adapter_index;
  const uint32_t operation = options.Operation;
  if (operation == kOpGetInfo) {
    const auto selector = static_cast<uint32_t>(options.GetSelector);
    const char* query = NameOf(kQueryNames, std::size(kQueryNames), selector);
    results.operations.emplace_back(query != nullptr ? query : "get_info");
  } else if (operation >= kOpFirmwareFirst && operation <= kOpFirmwareLast) {
    results.operations.emplace_back("firmware_download");
  } else if (const char* name = NameOf(kOperationNames, std::size(kOperationNames), operation)) {
    results.operations.emplace_back(name);
  } else {
    AddSequence(options, results.operations);
  }
  return results;
}
