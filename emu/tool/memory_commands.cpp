// memory_commands.cpp - dump and load of the memories, and peek/poke of the register files.
#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "emu/atomic_file.h"
#include "emu/emu_clock.h"
#include "emu/phy_model.h"
#include "emu/request_handler.h"
#include "tool_commands.h"

namespace tool {
namespace {

// A peek or poke: [--adapter N] ADDR [VALUE]; a value makes it a poke.
struct PeekPoke {
  uint32_t adapter = 0;
  uint32_t address = 0;
  uint32_t value = 0;
  bool poke = false;
};

bool ReadPeekPoke(ToolArgs& args, PeekPoke* request) {
  if (!args.Adapter(&request->adapter)) return false;
  const auto& words = args.positional();
  if (words.empty() || words.size() > 2) {
    args.Fail("expected ADDR [VALUE]");
    return false;
  }
  if (!ParseU32(words[0], &request->address)) {
    args.Fail("bad address \"" + words[0] + "\"");
    return false;
  }
  request->poke = words.size() == 2;
  if (request->poke && !ParseU32(words[1], &request->value)) {
    args.Fail("bad value \"" + words[1] + "\"");
    return false;
  }
  return true;
}

}  // namespace

int DumpCommand(const std::string& dir, ToolArgs& args) {
  uint32_t index = 0;
  if (!args.Adapter(&index)) return kExitUsage;
  const auto& words = args.positional();
  std::vector<uint8_t> mcu_bytes;
  const bool mcu = words.size() == 1 && IsMcuMemory(words[0]);
  if (words.size() != 1 ||
      (words[0] != "eeprom" && words[0] != "otp" && words[0] != "pcicfg" && !mcu)) {
    args.Fail("expected eeprom, otp, pcicfg, xdata, sfr or prog");
    return kExitUsage;
  }
  return WithAdapter(dir, index, false, [&](emu::AdapterState& s) {
    const uint8_t* bytes = s.pci_config.data();
    size_t size = s.pci_config.size();
    if (mcu) {
      McuMemory(s, words[0], &mcu_bytes);
      bytes = mcu_bytes.data();
      size = mcu_bytes.size();
    } else if (words[0] == "eeprom") {
      bytes = s.eeprom.data();
      size = s.eeprom_size;
    } else if (words[0] == "otp") {
      bytes = s.otp.data();
      size = s.otp.size();
    }
    if (std::fwrite(bytes, 1, size, stdout) != size) {
      return Report(kExitFailed, "cannot write to standard output");
    }
    return kExitOk;
  });
}

// Replaces the whole memory: the file's bytes from offset 0, the rest blank.
int LoadCommand(const std::string& dir, ToolArgs& args) {
  uint32_t index = 0;
  if (!args.Adapter(&index)) return kExitUsage;
  const auto& words = args.positional();
  if (words.size() != 2 || (words[0] != "eeprom" && words[0] != "otp")) {
    args.Fail("expected eeprom|otp FILE");
    return kExitUsage;
  }
  std::string contents;
  if (!emu::ReadWholeFile(words[1], &contents)) {
    return Report(kExitUsage, "cannot read " + words[1]);
  }
  return WithAdapter(dir, index, true, [&](emu::AdapterState& s) {
    const bool eeprom = words[0] == "eeprom";
    const size_t capacity = eeprom ? s.eeprom_size : s.otp.size();
    if (contents.size() > capacity) {
      return Report(kExitUsage, words[1] + " holds " + std::to_string(contents.size()) +
                                    " bytes; the " + words[0] + " holds " +
                                    std::to_string(capacity));
    }
    uint8_t* bytes = eeprom ? s.eeprom.data() : s.otp.data();
    std::fill(bytes, bytes + (eeprom ? s.eeprom.size() : s.otp.size()), eeprom ? 0xFF : 0x00);
    std::copy(contents.begin(), contents.end(), bytes);
    std::printf("adapter %" PRIu32 ": loaded %zu bytes into the %s\n", index, contents.size(),
                words[0].c_str());
    return kExitOk;
  });
}

// Peeks or sets a controller register as stored; register 0 is the chip value.
int RegCommand(const std::string& dir, ToolArgs& args) {
  PeekPoke r;
  if (!ReadPeekPoke(args, &r)) return kExitUsage;
  if (!emu::RegisterAddressValid(r.address)) {
    args.Fail("register address must be a multiple of 4 below 0x10000");
    return kExitUsage;
  }
  return WithAdapter(dir, r.adapter, r.poke, [&](emu::AdapterState& s) {
    if (r.poke) {
      if (r.address == 0) {
        s.id_value = r.value;
      } else {
        s.registers[r.address] = r.value;
      }
    }
    const auto found = s.registers.find(r.address);
    const uint32_t shown = r.address == 0               ? s.id_value
                           : found == s.registers.end() ? 0
                                                        : found->second;
    std::printf("0x%08" PRIx32 "\n", shown);
    return kExitOk;
  });
}

// Peeks a PHY register as a read would show it, or writes it as the driver would, or pins or
// unpins the value its reads show.
int PhyCommand(const std::string& dir, ToolArgs& args) {
  PeekPoke r;
  if (!ReadPeekPoke(args, &r)) return kExitUsage;
  uint32_t pin = 0;
  if (r.poke + args.Has("pin") + args.Has("unpin") > 1) {
    args.Fail("give one of VALUE, --pin and --unpin");
    return kExitUsage;
  }
  if (args.Has("pin") &&
      (!ParseU32(args.Value("pin"), &pin) || (!emu::PhyIndexIsWide(r.address) && pin > 0xFFFF))) {
    args.Fail("bad --pin \"" + args.Value("pin") + "\" (16 bits for this register)");
    return kExitUsage;
  }
  const bool change = r.poke || args.Has("pin") || args.Has("unpin");
  return WithAdapter(dir, r.adapter, change, [&](emu::AdapterState& s) {
    const int64_t now = emu::AdapterNowMs(s);
    if (r.poke) emu::WritePhy(s, r.address, r.value, now);
    if (args.Has("pin")) s.phy_pins[r.address] = pin;
    if (args.Has("unpin")) s.phy_pins.erase(r.address);
    std::printf(emu::PhyIndexIsWide(r.address) ? "0x%08" PRIx32 "\n" : "0x%04" PRIx32 "\n",
                emu::PeekPhy(s, r.address, now));
    return kExitOk;
  });
}

int PcieCommand(const std::string& dir, ToolArgs& args) {
  PeekPoke r;
  if (!ReadPeekPoke(args, &r)) return kExitUsage;
  if (r.address > 0xFFFF || r.value > 0xFFFF) {
    args.Fail("PCIe PHY addresses and values are 16 bits");
    return kExitUsage;
  }
  return WithAdapter(dir, r.adapter, r.poke, [&](emu::AdapterState& s) {
    if (r.poke) s.pcie_phy[r.address] = static_cast<uint16_t>(r.value);
    const auto found = s.pcie_phy.find(r.address);
    std::printf("0x%04x\n", found == s.pcie_phy.end() ? 0u : unsigned{found->second});
    return kExitOk;
  });
}

}  // namespace tool
