// tool_commands.h - the commands of qnt5200-emu, each given the emulator directory and its
// parsed command line, returning the tool's exit code.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "emu/adapter_state.h"
#include "tool_args.h"

namespace tool {

int CreateCommand(const std::string& dir, ToolArgs& args);
int RemoveCommand(const std::string& dir, ToolArgs& args);
int ShowCommand(const std::string& dir, ToolArgs& args);
int ClockCommand(const std::string& dir, ToolArgs& args);
int DumpCommand(const std::string& dir, ToolArgs& args);
int LoadCommand(const std::string& dir, ToolArgs& args);
int RegCommand(const std::string& dir, ToolArgs& args);
int PhyCommand(const std::string& dir, ToolArgs& args);
int PcieCommand(const std::string& dir, ToolArgs& args);
int FaultCommand(const std::string& dir, ToolArgs& args);
int LogCommand(const std::string& dir, ToolArgs& args);
int LinkCommand(const std::string& dir, ToolArgs& args);
int CableCommand(const std::string& dir, ToolArgs& args);
int StatsCommand(const std::string& dir, ToolArgs& args);
int InfoCommand(const std::string& dir, ToolArgs& args);
int McuCommand(const std::string& dir, ToolArgs& args);
int NetCommand(const std::string& dir, ToolArgs& args);
int PeerCommand(const std::string& dir, ToolArgs& args);
int PlugCommand(const std::string& dir, ToolArgs& args);
int ArpCommand(const std::string& dir, ToolArgs& args);

// The PHY microcontroller's memories by name: xdata, sfr, and prog (the first 16 KiB of program
// memory as the microcontroller sees it). McuMemory returns false for another name.
bool IsMcuMemory(const std::string& name);
bool McuMemory(const emu::AdapterState& s, const std::string& name, std::vector<uint8_t>* bytes);

// Loads adapter |index|, runs |change| on it and, when it returns kExitOk and |save| is set,
// saves it atomically. Reports a missing or unreadable adapter and returns kExitFailed.
int WithAdapter(const std::string& dir, uint32_t index, bool save,
                const std::function<int(emu::AdapterState&)>& change);

// "qnt5200-emu: " and the message on standard error; returns |code|.
int Report(int code, const std::string& message);

}  // namespace tool
