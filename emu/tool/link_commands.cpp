// link_commands.cpp - the link partner, the link timing and reply, and the cable test results.
#include <cinttypes>
#include <cstdio>

#include "emu/emu_clock.h"
#include "emu/link_model.h"
#include "tool_commands.h"

namespace tool {
namespace {

struct CableStatusName {
  const char* name;
  uint8_t status;
};

constexpr CableStatusName kCableStatuses[] = {
    {.name = "normal", .status = 0},
    {.name = "open", .status = 1},
    {.name = "shorted", .status = 2},
    {.name = "failed", .status = 3},
};

bool ParseCableStatus(const std::string& text, uint8_t* status) {
  for (const CableStatusName& entry : kCableStatuses) {
    if (text == entry.name) {
      *status = entry.status;
      return true;
    }
  }
  uint32_t number = 0;
  if (!ParseU32(text, &number) || number > 3) return false;
  *status = static_cast<uint8_t>(number);
  return true;
}

bool ParsePair(const std::string& text, uint32_t* pair) {
  if (text.size() == 1 && text[0] >= 'A' && text[0] <= 'D') {
    *pair = static_cast<uint32_t>(text[0] - 'A');
    return true;
  }
  return ParseU32(text, pair) && *pair <= 3;
}

}  // namespace

int LinkCommand(const std::string& dir, ToolArgs& args) {
  uint32_t index = 0;
  if (!args.Adapter(&index)) return kExitUsage;
  const int partner_options = args.Has("partner") + args.Has("forced") + args.Has("none");
  if (partner_options > 1) {
    args.Fail("give one of --partner, --forced and --none");
    return kExitUsage;
  }
  emu::LinkPartner partner;
  if (args.Has("partner") && !emu::ParsePartner("autoneg " + args.Value("partner"), &partner)) {
    args.Fail("bad --partner \"" + args.Value("partner") +
              "\" (abilities 1000fd,100fd,100hd,10fd,10hd and master or slave)");
    return kExitUsage;
  }
  if (args.Has("forced") && !emu::ParsePartner("forced " + args.Value("forced"), &partner)) {
    args.Fail("bad --forced \"" + args.Value("forced") +
              "\" (one mode, e.g. 100fd or 1000fd,slave)");
    return kExitUsage;
  }
  uint32_t delay = 0;
  if (args.Has("delay") && !ParseU32(args.Value("delay"), &delay)) {
    args.Fail("bad --delay \"" + args.Value("delay") + "\"");
    return kExitUsage;
  }
  uint32_t reply = 0;
  if (args.Has("reply") && (!ParseU32(args.Value("reply"), &reply) || reply > 0xFF)) {
    args.Fail("bad --reply \"" + args.Value("reply") + "\" (one byte)");
    return kExitUsage;
  }
  const std::string& policy = args.Value("policy");
  if (args.Has("policy") && policy != "advertise" && policy != "force") {
    args.Fail("bad --policy \"" + policy + "\" (advertise or force)");
    return kExitUsage;
  }
  return WithAdapter(dir, index, true, [&](emu::AdapterState& s) {
    emu::TrackLink(s, emu::AdapterNowMs(s));
    if (args.Has("delay")) s.link.delay_ms = delay;
    if (args.Has("reply")) s.link.mode_reply = static_cast<uint8_t>(reply);
    if (args.Has("policy")) {
      s.link.policy =
          policy == "force" ? emu::LinkModePolicy::kForce : emu::LinkModePolicy::kAdvertise;
    }
    if (partner_options == 1) {
      emu::TrackLink(s, emu::AdapterNowMs(s));
      s.link.partner = partner;
      emu::RestartLink(s, emu::AdapterNowMs(s));
    }
    std::printf("adapter %" PRIu32 ": partner %s, delay %" PRIu32 " ms, reply %u, policy %s\n",
                index, emu::FormatPartner(s.link.partner).c_str(), s.link.delay_ms,
                unsigned{s.link.mode_reply},
                s.link.policy == emu::LinkModePolicy::kForce ? "force" : "advertise");
    return kExitOk;
  });
}

int CableCommand(const std::string& dir, ToolArgs& args) {
  uint32_t index = 0;
  if (!args.Adapter(&index)) return kExitUsage;
  if (args.Has("auto")) {
    if (args.Has("pair") || args.Has("status") || args.Has("data") || args.Has("stuck") ||
        args.Has("busy")) {
      args.Fail("--auto takes no other option");
      return kExitUsage;
    }
    return WithAdapter(dir, index, true, [&](emu::AdapterState& s) {
      s.cable = {};
      std::printf("adapter %" PRIu32 ": cable test answers from the link partner\n", index);
      return kExitOk;
    });
  }
  uint32_t pair = 0;
  emu::CableResult result{.set = true, .stuck = args.Has("stuck")};
  uint32_t data = 0;
  if (!args.Has("pair") || !ParsePair(args.Value("pair"), &pair)) {
    args.Fail("expected --pair A-D (or 0-3)");
    return kExitUsage;
  }
  if (!result.stuck &&
      (!args.Has("status") || !ParseCableStatus(args.Value("status"), &result.status))) {
    args.Fail("expected --status normal|open|shorted|failed (or 0-3)");
    return kExitUsage;
  }
  if (args.Has("data") && (!ParseU32(args.Value("data"), &data) || data > 0xFF)) {
    args.Fail("bad --data \"" + args.Value("data") + "\" (one byte)");
    return kExitUsage;
  }
  result.data = static_cast<uint8_t>(data);
  if (args.Has("busy") && !ParseU32(args.Value("busy"), &result.busy_polls)) {
    args.Fail("bad --busy \"" + args.Value("busy") + "\" (a number of polls)");
    return kExitUsage;
  }
  return WithAdapter(dir, index, true, [&](emu::AdapterState& s) {
    s.cable[pair] = result;
    std::printf("adapter %" PRIu32 ": pair %c %s\n", index, static_cast<char>('A' + pair),
                result.stuck
                    ? "never completes"
                    : ("status " + std::to_string(result.status) + " data " +
                       std::to_string(result.data) + " busy " + std::to_string(result.busy_polls))
                          .c_str());
    return kExitOk;
  });
}

}  // namespace tool
