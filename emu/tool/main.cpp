// main.cpp - qnt5200-emu: creates, inspects and prepares the emulated adapters that the utility
// talks to on Linux. The adapters live in the directory named by QNT5200_EMU_DIR (else
// $XDG_STATE_HOME/qnt5200-emu, else ~/.local/state/qnt5200-emu).
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "emu/emu_directory.h"
#include "tool_args.h"
#include "tool_commands.h"
#include "version/build_version.h"

namespace {

using tool::OptionSpec;

struct ToolCommand {
  const char* name;
  const char* usage;
  std::vector<OptionSpec> options;
  int max_words;  // positional words the command takes; -1: any number
  int (*run)(const std::string&, tool::ToolArgs&);
};

const OptionSpec kAdapter{"adapter", true};

const std::vector<ToolCommand>& Commands() {
  static const std::vector<ToolCommand> commands = {
      {"create",
       "create [--adapter N] [--chip QNT5230|QNT5231|QNT523F|0xVALUE] "
       "[--eeprom-size 256|512] [--clock real|virtual]",
       {kAdapter, {"chip", true}, {"eeprom-size", true}, {"clock", true}},
       0,
       tool::CreateCommand},
      {"remove", "remove [--adapter N]", {kAdapter}, 0, tool::RemoveCommand},
      {"show", "show [--adapter N]", {kAdapter}, 0, tool::ShowCommand},
      {"clock",
       "clock [--adapter N] [real|virtual] [--advance MS]",
       {kAdapter, {"advance", true}},
       1,
       tool::ClockCommand},
      {"dump",
       "dump eeprom|otp|pcicfg|xdata|sfr|prog [--adapter N]   (raw bytes to standard output)",
       {kAdapter},
       1,
       tool::DumpCommand},
      {"load",
       "load eeprom|otp FILE [--adapter N]   (the rest of the memory becomes blank)",
       {kAdapter},
       2,
       tool::LoadCommand},
      {"reg",
       "reg [--adapter N] ADDR [VALUE]   (controller register; 0 is the chip value)",
       {kAdapter},
       2,
       tool::RegCommand},
      {"phy",
       "phy [--adapter N] INDEX [VALUE | --pin VALUE | --unpin]   (PHY register, written as the "
       "driver would; a pinned register reads as VALUE)",
       {kAdapter, {"pin", true}, {"unpin", false}},
       2,
       tool::PhyCommand},
      {"pcie",
       "pcie [--adapter N] ADDR [VALUE]   (PCIe PHY register)",
       {kAdapter},
       2,
       tool::PcieCommand},
      {"fault",
       "fault [--adapter N] --command C [--skip N] [--count K|always] "
       "(--status S | --error E | --kill)\n       qnt5200-emu fault [--adapter N] --clear",
       {kAdapter,
        {"command", true},
        {"skip", true},
        {"count", true},
        {"status", true},
        {"error", true},
        {"kill", false},
        {"clear", false}},
       0,
       tool::FaultCommand},
      {"log", "log [--adapter N] [--clear]", {kAdapter, {"clear", false}}, 0, tool::LogCommand},
      {"link",
       "link [--adapter N] [--partner 1000fd,100fd,...[,master|slave] | --forced MODE | "
       "--none] [--delay MS] [--reply BYTE] [--policy advertise|force]",
       {kAdapter,
        {"partner", true},
        {"forced", true},
        {"none", false},
        {"delay", true},
        {"reply", true},
        {"policy", true}},
       0,
       tool::LinkCommand},
      {"cable",
       "cable [--adapter N] --pair A-D (--status normal|open|shorted|failed "
       "[--data BYTE] [--busy POLLS] | --stuck)\n       qnt5200-emu cable [--adapter N] --auto",
       {kAdapter,
        {"pair", true},
        {"status", true},
        {"data", true},
        {"stuck", false},
        {"busy", true},
        {"auto", false}},
       0,
       tool::CableCommand},
      {"stats",
       "stats [--adapter N] [NAME=VALUE | INDEX=VALUE]...",
       {kAdapter},
       -1,
       tool::StatsCommand},
      {"info",
       "info [--adapter N] [--location TEXT] [--registry-key TEXT] [--pdo-name TEXT] "
       "[--port N] [--driver-version a.b.c.d] [--adapter-bits x,y,z]",
       {kAdapter,
        {"location", true},
        {"registry-key", true},
        {"pdo-name", true},
        {"port", true},
        {"driver-version", true},
        {"adapter-bits", true}},
       0,
       tool::InfoCommand},
      {"mcu",
       "mcu [--adapter N]   (PHY microcontroller: access, overlay table, running)",
       {kAdapter},
       0,
       tool::McuCommand},
      {"net",
       "net [--adapter N] [--description TEXT] [--interface N] [--address A.B.C.D|none] "
       "[--address-after LOOKUPS] [--physical aa-bb-cc-dd-ee-ff|board]",
       {kAdapter,
        {"description", true},
        {"interface", true},
        {"address", true},
        {"address-after", true},
        {"physical", true}},
       0,
       tool::NetCommand},
      {"peer",
       "peer [--adapter N] [A.B.C.D [--silent] [--foreign K] [--noise K] [--type T] "
       "[--delay MS]] [--remove A.B.C.D] [--clear]",
       {kAdapter,
        {"silent", false},
        {"foreign", true},
        {"noise", true},
        {"type", true},
        {"delay", true},
        {"remove", true},
        {"clear", false}},
       1,
       tool::PeerCommand},
      {"plug",
       "plug [--adapter N] [100|1000|none] [--noise EXCHANGES]",
       {kAdapter, {"noise", true}},
       1,
       tool::PlugCommand},
      {"arp", "arp [--adapter N] [--clear]", {kAdapter, {"clear", false}}, 0, tool::ArpCommand},
  };
  return commands;
}

void PrintUsage(FILE* out) {
  std::fprintf(out, "usage:\n");
  for (const ToolCommand& command : Commands()) {
    std::fprintf(out, "  qnt5200-emu %s\n", command.usage);
  }
  std::fprintf(out, "  qnt5200-emu --help | --version\n");
  std::fprintf(out,
               "Adapters live in $QNT5200_EMU_DIR (else $XDG_STATE_HOME/qnt5200-emu, else "
               "~/.local/state/qnt5200-emu).\n");
  std::fprintf(out,
               "Exit codes:\n"
               "  0  done\n"
               "  1  the adapter or its state could not be used (missing, already exists,\n"
               "     unreadable, unwritable)\n"
               "  2  a bad command line or input file\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "qnt5200-emu: no command given\n");
    PrintUsage(stderr);
    return tool::kExitUsage;
  }
  const std::string name = argv[1];
  if (name == "help" || name == "--help" || name == "-h") {
    PrintUsage(stdout);
    return tool::kExitOk;
  }
  if (name == "--version" && argc == 2) {
    std::printf("%s\n", VersionLine("qnt5200-emu").c_str());
    return tool::kExitOk;
  }
  for (const ToolCommand& command : Commands()) {
    if (name != command.name) continue;
    tool::ToolArgs args(std::vector<std::string>(argv + 2, argv + argc), command.options);
    if (command.max_words >= 0 &&
        args.positional().size() > static_cast<size_t>(command.max_words)) {
      args.Fail("unexpected \"" + args.positional()[command.max_words] + "\"");
    }
    int code = tool::kExitUsage;
    if (args.ok()) code = command.run(emu::EmuDirectoryFromEnvironment(), args);
    if (!args.ok()) {
      std::fprintf(stderr, "qnt5200-emu: %s\nusage: qnt5200-emu %s\n", args.error().c_str(),
                   command.usage);
      return tool::kExitUsage;
    }
    return code;
  }
  std::fprintf(stderr, "qnt5200-emu: unknown command \"%s\"\n", name.c_str());
  PrintUsage(stderr);
  return tool::kExitUsage;
}
