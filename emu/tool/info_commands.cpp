// info_commands.cpp - the statistics counters and the driver's information answers.
#include <cinttypes>
#include <cstdio>
#include <sstream>

#include "emu/stat_names.h"
#include "emu/wire_format.h"
#include "tool_commands.h"

namespace tool {
namespace {

// |count| numbers separated by |separator|.
bool ParseNumberList(const std::string& text, char separator, size_t count, uint32_t* values) {
  std::stringstream parts(text);
  std::string part;
  size_t found = 0;
  while (std::getline(parts, part, separator)) {
    if (found == count || !ParseU32(part, &values[found])) return false;
    ++found;
  }
  return found == count && !text.empty() && text.back() != separator;
}

}  // namespace

int StatsCommand(const std::string& dir, ToolArgs& args) {
  uint32_t index = 0;
  if (!args.Adapter(&index)) return kExitUsage;
  std::vector<std::pair<uint32_t, uint32_t>> changes;
  for (const std::string& word : args.positional()) {
    const size_t equals = word.find('=');
    uint32_t counter = 0;
    uint32_t value = 0;
    if (equals == std::string::npos ||
        !emu::ParseStatName(word.substr(0, equals).c_str(), &counter) ||
        !ParseU32(word.substr(equals + 1), &value)) {
      args.Fail("bad counter setting \"" + word + "\" (NAME=VALUE or INDEX=VALUE)");
      return kExitUsage;
    }
    changes.emplace_back(counter, value);
  }
  return WithAdapter(dir, index, !changes.empty(), [&](emu::AdapterState& s) {
    for (const auto& [counter, value] : changes) s.stats[counter] = value;
    for (uint32_t i = 0; i < emu::kStatCount; ++i) {
      std::printf("%2" PRIu32 " %-27s = 0x%08" PRIx32 "\n", i, emu::StatName(i), s.stats[i]);
    }
    return kExitOk;
  });
}

int InfoCommand(const std::string& dir, ToolArgs& args) {
  uint32_t index = 0;
  if (!args.Adapter(&index)) return kExitUsage;
  uint32_t version[4] = {};
  uint32_t bits[3] = {};
  uint32_t port = 0;
  if (args.Has("driver-version") &&
      !ParseNumberList(args.Value("driver-version"), '.', 4, version)) {
    args.Fail("bad --driver-version \"" + args.Value("driver-version") + "\" (a.b.c.d)");
    return kExitUsage;
  }
  if (args.Has("adapter-bits") && !ParseNumberList(args.Value("adapter-bits"), ',', 3, bits)) {
    args.Fail("bad --adapter-bits \"" + args.Value("adapter-bits") + "\" (x,y,z)");
    return kExitUsage;
  }
  if (args.Has("port") && !ParseU32(args.Value("port"), &port)) {
    args.Fail("bad --port \"" + args.Value("port") + "\"");
    return kExitUsage;
  }
  const bool change = args.Has("driver-version") || args.Has("adapter-bits") || args.Has("port") ||
                      args.Has("location") || args.Has("registry-key") || args.Has("pdo-name");
  return WithAdapter(dir, index, change, [&](emu::AdapterState& s) {
    if (args.Has("driver-version")) std::copy(version, version + 4, s.driver_version.begin());
    if (args.Has("adapter-bits")) std::copy(bits, bits + 3, s.adapter_bits.begin());
    if (args.Has("port")) s.port = port;
    if (args.Has("location")) s.location = args.Value("location");
    if (args.Has("registry-key")) s.registry_key = args.Value("registry-key");
    if (args.Has("pdo-name")) s.pdo_name = args.Value("pdo-name");
    std::printf("driver version %" PRIu32 ".%" PRIu32 ".%" PRIu32 ".%" PRIu32 "\n",
                s.driver_version[0], s.driver_version[1], s.driver_version[2], s.driver_version[3]);
    std::printf("adapter bits   0x%" PRIX32 ",0x%" PRIX32 ",0x%" PRIX32 "\n", s.adapter_bits[0],
                s.adapter_bits[1], s.adapter_bits[2]);
    std::printf("port           %" PRIu32 "\n", s.port);
    std::printf("location       %s\n", s.location.c_str());
    std::printf("registry key   %s\n", s.registry_key.c_str());
    std::printf("pdo name       %s\n", s.pdo_name.c_str());
    return kExitOk;
  });
}

}  // namespace tool
