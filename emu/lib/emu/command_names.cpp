// command_names.cpp - the names of the driver's commands, for the tool and the request log.
#include <strings.h>
#include <cstdlib>

#include "emu/wire_format.h"

namespace emu {
namespace {

struct CommandEntry {
  uint32_t code;
  const char* name;
};

constexpr CommandEntry kCommands[] = {
    {.code = kE2pReadByte, .name = "E2P_READ_BYTE"},
    {.code = kE2pWriteByte, .name = "E2P_WRITE_BYTE"},
    {.code = kE2pReadBlock, .name = "E2P_READ_BLOCK"},
    {.code = kE2pWriteBlock, .name = "E2P_WRITE_BLOCK"},
    {.code = kE2pCommand, .name = "E2P_COMMAND"},
    {.code = kGetDriverVersion, .name = "GET_DRIVER_VERSION"},
    {.code = kReadRegister, .name = "READ_REGISTER"},
    {.code = kWriteRegister, .name = "WRITE_REGISTER"},
    {.code = kReadPhy, .name = "READ_PHY"},
    {.code = kWritePhy, .name = "WRITE_PHY"},
    {.code = kReadTxRxStats, .name = "READ_TXRX_STATS"},
    {.code = kSetLinkMode, .name = "SET_LINK_MODE"},
    {.code = kGetAdapterBits, .name = "GET_ADAPTER_BITS"},
    {.code = kGetAdapterLocation, .name = "GET_ADAPTER_LOCATION"},
    {.code = kGetAdapterRegistryKey, .name = "GET_ADAPTER_REGISTRY_KEY"},
    {.code = kGetAdapterPdoName, .name = "GET_ADAPTER_PDO_NAME"},
    {.code = kGetAdapterPort, .name = "GET_ADAPTER_PORT"},
    {.code = kOtpReadBlock, .name = "OTP_READ_BLOCK"},
    {.code = kOtpWriteBlock, .name = "OTP_WRITE_BLOCK"},
    {.code = kOtpConfigure, .name = "OTP_CONFIGURE"},
    {.code = kSetLinkState, .name = "SET_LINK_STATE"},
    {.code = kReadPciConfig, .name = "READ_PCICFG"},
    {.code = kWritePciConfig, .name = "WRITE_PCICFG"},
    {.code = kReadPciePhy, .name = "READ_PCIEPHY"},
    {.code = kWritePciePhy, .name = "WRITE_PCIEPHY"},
};

}  // namespace

const char* CommandName(uint32_t command) {
  for (const CommandEntry& entry : kCommands) {
    if (entry.code == command) return entry.name;
  }
  return nullptr;
}

bool ParseCommand(const char* text, uint32_t* command) {
  for (const CommandEntry& entry : kCommands) {
    if (strcasecmp(entry.name, text) == 0) {
      *command = entry.code;
      return true;
    }
  }
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 10);
  if (*text < '0' || *text > '9' || *end != '\0' || value > 0xFFFFFFFFul) return false;
  *command = static_cast<uint32_t>(value);
  return true;
}

}  // namespace emu
