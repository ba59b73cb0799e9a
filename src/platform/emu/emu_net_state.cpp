// emu_net_state.cpp - the account of what a run took from the emulated system and must give back,
// and of the calls the system refused as misuse, so that a run that leaks is told.
#include <string>

#include "emu/network_model.h"
#include "platform/emu/emu_network.h"

void EmuNetState::Refuse(uint32_t error, std::string what) {
  last_error = error;
  refused.push_back(std::move(what));
}

std::vector<std::string> EmuNetState::Problems() const {
  std::vector<std::string> problems;
  for (const std::string& what : refused) problems.push_back("refused: " + what);
  if (started > 0) {
    problems.push_back("WSAStartup called " + std::to_string(started) +
                       " more time(s) than WSACleanup");
  }
  for (const auto& [handle, socket] : sockets) {
    problems.push_back("socket " + std::to_string(handle) + " left open");
  }
  for (const auto& [handle, library] : libraries) {
    problems.push_back(library.name + " left loaded");
  }
  for (const emu::ArpRecord& entry : added_arp) {
    problems.push_back("static ARP entry " + emu::FormatIp4(entry.address) + " left on interface " +
                       std::to_string(entry.interface_index));
  }
  return problems;
}
