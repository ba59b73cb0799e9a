// adapter_commands.cpp - create, remove, show and clock.
#include <cinttypes>
#include <cstdio>
#include <filesystem>

#include "emu/emu_clock.h"
#include "emu/fault_plan.h"
#include "emu/link_model.h"
#include "emu/otp_state.h"
#include "emu/phy_model.h"
#include "emu/state_file.h"
#include "tool_commands.h"

namespace tool {
namespace {

bool AdapterExists(const std::string& dir, uint32_t index) {
  std::error_code failure;
  return std::filesystem::exists(emu::AdapterPath(dir, index), failure);
}

const char* LinkText(const emu::LinkResolution& link) {
  if (!link.up) return "down";
  if (link.speed == 1000) return "up, 1000 full duplex";
  if (link.speed == 100) return link.full_duplex ? "up, 100 full duplex" : "up, 100 half duplex";
  return link.full_duplex ? "up, 10 full duplex" : "up, 10 half duplex";
}

}  // namespace

int CreateCommand(const std::string& dir, ToolArgs& args) {
  uint32_t index = 0;
  emu::AdapterOptions options;
  if (!args.Adapter(&index)) return kExitUsage;
  if (args.Has("chip") && !emu::ParseChip(args.Value("chip").c_str(), &options.id_value)) {
    args.Fail("bad chip \"" + args.Value("chip") + "\" (QNT5230, QNT5231, QNT523F or 0xVALUE)");
    return kExitUsage;
  }
  if (args.Has("eeprom-size")) {
    const std::string& size = args.Value("eeprom-size");
    if (size != "256" && size != "512") {
      args.Fail("bad EEPROM size \"" + size + "\" (256 or 512)");
      return kExitUsage;
    }
    options.eeprom_size = size == "256" ? 256 : 512;
  }
  if (args.Has("clock") && !emu::ParseClockMode(args.Value("clock").c_str(), &options.clock)) {
    args.Fail("bad clock \"" + args.Value("clock") + "\" (real or virtual)");
    return kExitUsage;
  }
  if (AdapterExists(dir, index)) {
    return Report(kExitFailed, "adapter " + std::to_string(index) + " already exists in " + dir);
  }
  std::error_code failure;
  std::filesystem::create_directories(dir, failure);
  emu::AdapterState state = emu::MakeAdapter(index, options);
  state.link_runtime.started_ms = emu::AdapterNowMs(state);
  if (!emu::SaveAdapter(dir, state)) {
    return Report(kExitFailed, emu::AdapterPath(dir, index) + ": cannot be written");
  }
  std::printf("created adapter %" PRIu32 " (chip 0x%08" PRIx32 ", %" PRIu32
              "-byte EEPROM, %s clock) in %s\n",
              index, options.id_value, options.eeprom_size, emu::ClockModeName(options.clock),
              dir.c_str());
  return kExitOk;
}

int RemoveCommand(const std::string& dir, ToolArgs& args) {
  uint32_t index = 0;
  if (!args.Adapter(&index)) return kExitUsage;
  if (!AdapterExists(dir, index)) {
    return Report(kExitFailed, "no adapter " + std::to_string(index) + " in " + dir);
  }
  if (!emu::RemoveAdapter(dir, index)) {
    return Report(kExitFailed, emu::AdapterPath(dir, index) + ": cannot be removed");
  }
  std::printf("removed adapter %" PRIu32 "\n", index);
  return kExitOk;
}

int ShowCommand(const std::string& dir, ToolArgs& args) {
  uint32_t index = 0;
  if (!args.Adapter(&index)) return kExitUsage;
  return WithAdapter(dir, index, false, [&](emu::AdapterState& s) {
    const int64_t now = emu::AdapterNowMs(s);
    const emu::LinkResolution link = emu::ResolveLink(s, now);
    std::printf("adapter %" PRIu32 "\n", index);
    std::printf("  chip           0x%08" PRIx32 "\n", s.id_value);
    std::printf("  eeprom         %" PRIu32 " bytes\n", s.eeprom_size);
    std::printf("  clock          %s, %" PRId64 " ms\n", emu::ClockModeName(s.clock), now);
    std::printf("  link partner   %s\n", emu::FormatPartner(s.link.partner).c_str());
    std::printf("  link           %s%s (delay %" PRIu32 " ms, reply %u, policy %s)\n",
                s.link_runtime.admin_up ? "" : "administratively down, ", LinkText(link),
                s.link.delay_ms, unsigned{s.link.mode_reply},
                s.link.policy == emu::LinkModePolicy::kForce ? "force" : "advertise");
    std::printf("  phy            bmcr 0x%04" PRIx32 " bmsr 0x%04" PRIx32 " adv 0x%04" PRIx32
                " lpa 0x%04" PRIx32 " 1000ctrl 0x%04" PRIx32 " 1000stat 0x%04" PRIx32 "\n",
                emu::PeekPhy(s, 0, now), emu::PeekPhy(s, 1, now), emu::PeekPhy(s, 4, now),
                emu::PeekPhy(s, 5, now), emu::PeekPhy(s, 9, now), emu::PeekPhy(s, 10, now));
    for (const auto& [phy_index, value] : s.phy_pins) {
      std::printf("  phy pinned     0x%" PRIx32 " reads 0x%04" PRIx32 "\n", phy_index, value);
    }
    std::printf("  brackets       eeprom %s, otp %s\n", s.e2p_open ? "open" : "closed",
                s.otp_access == emu::OtpAccess::kClosed ? "closed"
                : s.otp_access == emu::OtpAccess::kRead ? "open for reading"
                                                        : "open for writing");
    std::printf("  otp            %s\n", emu::DescribeOtp(s.otp.data()).c_str());
    std::printf("  driver         %" PRIu32 ".%" PRIu32 ".%" PRIu32 ".%" PRIu32
                ", adapter bits %" PRIX32 ",%" PRIX32 ",%" PRIX32 ", port %" PRIu32 "\n",
                s.driver_version[0], s.driver_version[1], s.driver_version[2], s.driver_version[3],
                s.adapter_bits[0], s.adapter_bits[1], s.adapter_bits[2], s.port);
    std::printf("  location       %s\n", s.location.c_str());
    std::printf("  registry key   %s\n", s.registry_key.c_str());
    std::printf("  pdo name       %s\n", s.pdo_name.c_str());
    for (const emu::Fault& fault : s.faults) {
      std::printf("  fault          %s\n", emu::FormatFault(fault).c_str());
    }
    return kExitOk;
  });
}

// Switches the clock mode and moves the stored times to the new time base, so a link that was
// negotiating keeps its remaining delay.
int ClockCommand(const std::string& dir, ToolArgs& args) {
  uint32_t index = 0;
  if (!args.Adapter(&index)) return kExitUsage;
  emu::ClockMode mode = emu::ClockMode::kVirtual;
  const bool set_mode = !args.positional().empty();
  if (args.positional().size() > 1 ||
      (set_mode && !emu::ParseClockMode(args.positional()[0].c_str(), &mode))) {
    args.Fail("expected real or virtual");
    return kExitUsage;
  }
  uint32_t advance = 0;
  if (args.Has("advance") && !ParseU32(args.Value("advance"), &advance)) {
    args.Fail("bad --advance \"" + args.Value("advance") + "\"");
    return kExitUsage;
  }
  return WithAdapter(dir, index, true, [&](emu::AdapterState& s) {
    if (set_mode && mode != s.clock) {
      const int64_t before = emu::AdapterNowMs(s);
      s.clock = mode;
      if (mode == emu::ClockMode::kVirtual) s.time_ms = before;
      const int64_t shift = emu::AdapterNowMs(s) - before;
      s.link_runtime.started_ms = emu::ShiftTimeMs(s.link_runtime.started_ms, shift);
      s.cable_started_ms = emu::ShiftTimeMs(s.cable_started_ms, shift);
    }
    if (advance != 0) {
      if (s.clock == emu::ClockMode::kReal) {
        return Report(kExitUsage, "--advance needs the virtual clock");
      }
      emu::AdvanceAdapterClock(s, advance);
    }
    std::printf("adapter %" PRIu32 ": %s clock, %" PRId64 " ms\n", index,
                emu::ClockModeName(s.clock), emu::AdapterNowMs(s));
    return kExitOk;
  });
}

}  // namespace tool
