// emu_bench.cpp - adapter creation and state access of the flow-test bench.
#include "support/emu_bench.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "emu/emu_clock.h"
#include "emu/fault_plan.h"
#include "emu/link_model.h"
#include "emu/phy_model.h"
#include "emu/state_file.h"

EmuBench::EmuBench() : dir_(temp_.path().string()) {}

EmuBench::~EmuBench() { ClosePlatform(); }

emu::AdapterState* EmuBench::Live(uint32_t index) {
  if (live_ == nullptr || !live_->machine().is_open()) return nullptr;
  return live_->machine().Adapter(index);
}

void EmuBench::CreateAdapter(uint32_t index, uint32_t chip, uint32_t eeprom_size) {
  ClosePlatform();
  emu::AdapterOptions options{.id_value = chip, .eeprom_size = eeprom_size};
  if (!emu::SaveAdapter(dir_, emu::MakeAdapter(index, options))) {
    ADD_FAILURE() << "cannot create adapter " << index << " in " << dir_;
  }
}

void EmuBench::RemoveAdapter(uint32_t index) {
  ClosePlatform();
  emu::RemoveAdapter(dir_, index);
}

emu::AdapterState EmuBench::State(uint32_t index) {
  if (emu::AdapterState* live = Live(index)) return *live;
  emu::AdapterState state;
  std::string error;
  if (emu::LoadAdapter(dir_, index, &state, &error) != 0) ADD_FAILURE() << error;
  return state;
}

void EmuBench::Update(const std::function<void(emu::AdapterState&)>& change, uint32_t index) {
  if (emu::AdapterState* live = Live(index)) {
    change(*live);
    return;
  }
  emu::AdapterState state = State(index);
  change(state);
  if (!emu::SaveAdapter(dir_, state)) ADD_FAILURE() << "cannot save adapter " << index;
}

std::vector<uint8_t> EmuBench::Eeprom(uint32_t index) {
  const emu::AdapterState state = State(index);
  return {state.eeprom.begin(), state.eeprom.begin() + state.eeprom_size};
}

void EmuBench::SetEeprom(const std::vector<uint8_t>& bytes, uint32_t index) {
  Update(
      [&](emu::AdapterState& s) {
        std::copy_n(bytes.begin(), std::min<size_t>(bytes.size(), s.eeprom.size()),
                    s.eeprom.begin());
      },
      index);
}

std::vector<uint8_t> EmuBench::Otp(uint32_t index) {
  const emu::AdapterState state = State(index);
  return {state.otp.begin(), state.otp.end()};
}

void EmuBench::SetOtp(const std::vector<uint8_t>& bytes, uint32_t index) {
  Update(
      [&](emu::AdapterState& s) {
        s.otp.fill(0);
        std::copy_n(bytes.begin(), std::min<size_t>(bytes.size(), s.otp.size()), s.otp.begin());
      },
      index);
}

uint32_t EmuBench::Register(uint32_t address, uint32_t index) {
  const emu::AdapterState state = State(index);
  if (address == 0) return state.id_value;
  const auto found = state.registers.find(address);
  return found == state.registers.end() ? 0 : found->second;
}

void EmuBench::SetRegister(uint32_t address, uint32_t value, uint32_t index) {
  Update(
      [&](emu::AdapterState& s) {
        if (address == 0) {
          s.id_value = value;
        } else {
          s.registers[address] = value;
        }
      },
      index);
}

uint32_t EmuBench::Phy(uint32_t phy_index, uint32_t index) {
  const emu::AdapterState state = State(index);
  return emu::PeekPhy(state, phy_index, emu::AdapterNowMs(state));
}

void EmuBench::WritePhy(uint32_t phy_index, uint32_t value, uint32_t index) {
  Update([&](emu::AdapterState& s) { emu::WritePhy(s, phy_index, value, emu::AdapterNowMs(s)); },
         index);
}

uint32_t EmuBench::PciConfig(uint32_t offset, uint32_t index) {
  const emu::AdapterState state = State(index);
  uint32_t value = 0;
  for (uint32_t i = 0; i < 4 && offset + i < state.pci_config.size(); ++i) {
    value |= uint32_t{state.pci_config[offset + i]} << (8 * i);
  }
  return value;
}

uint16_t EmuBench::PciePhy(uint32_t address, uint32_t index) {
  const emu::AdapterState state = State(index);
  const auto found = state.pcie_phy.find(address);
  return found == state.pcie_phy.end() ? 0 : found->second;
}

void EmuBench::SetPartner(const std::string& description, uint32_t index) {
  emu::LinkPartner partner;
  if (!emu::ParsePartner(description, &partner)) {
    ADD_FAILURE() << "bad link partner: " << description;
    return;
  }
  Update(
      [&](emu::AdapterState& s) {
        emu::TrackLink(s, emu::AdapterNowMs(s));
        s.link.partner = partner;
        emu::RestartLink(s, emu::AdapterNowMs(s));
      },
      index);
}

void EmuBench::SetLinkDelay(uint32_t delay_ms, uint32_t index) {
  Update(
      [&](emu::AdapterState& s) {
        emu::TrackLink(s, emu::AdapterNowMs(s));
        s.link.delay_ms = delay_ms;
      },
      index);
}

void EmuBench::SetLinkModeReply(uint8_t reply, uint32_t index) {
  Update([&](emu::AdapterState& s) { s.link.mode_reply = reply; }, index);
}

void EmuBench::SetCableResult(uint32_t pair, uint8_t status, uint8_t data, bool stuck,
                              uint32_t index) {
  Update(
      [&](emu::AdapterState& s) {
        s.cable.at(pair) =
            emu::CableResult{.set = true, .status = status, .data = data, .stuck = stuck};
      },
      index);
}

void EmuBench::SetStat(uint32_t counter, uint32_t value, uint32_t index) {
  Update([&](emu::AdapterState& s) { s.stats.at(counter) = value; }, index);
}

void EmuBench::AddFault(const emu::Fault& fault, uint32_t index) {
  Update([&](emu::AdapterState& s) { s.faults.push_back(fault); }, index);
}

void EmuBench::FailStatus(uint32_t command, uint32_t status, uint32_t skip, int64_t count,
                          uint32_t index) {
  AddFault({.command = command,
            .skip = skip,
            .count = count,
            .kind = emu::FaultKind::kStatus,
            .value = status},
           index);
}

void EmuBench::FailCall(uint32_t command, uint32_t error, uint32_t skip, int64_t count,
                        uint32_t index) {
  AddFault({.command = command,
            .skip = skip,
            .count = count,
            .kind = emu::FaultKind::kError,
            .value = error},
           index);
}

int64_t EmuBench::NowMs(uint32_t index) { return emu::AdapterNowMs(State(index)); }

Platform& EmuBench::Services() {
  if (live_ == nullptr) live_ = std::make_unique<EmuPlatform>(dir_, console_);
  return live_->Services();
}

void EmuBench::ClosePlatform() {
  if (live_ == nullptr) return;
  if (!live_->machine().Close()) ADD_FAILURE() << live_->machine().last_error();
  ExpectNothingLeftOpen(*live_);
  live_.reset();
}

void EmuBench::ExpectNothingLeftOpen(const EmuPlatform& platform) {
  for (const std::string& problem : platform.NetworkProblems()) ADD_FAILURE() << problem;
}

std::vector<emu::LogEntry> EmuBench::Log() const {
  if (live_ != nullptr) live_->machine().FlushLog();
  return emu::ReadLog(dir_);
}

std::vector<emu::LogEntry> EmuBench::LogOf(uint32_t command) const {
  std::vector<emu::LogEntry> entries = Log();
  std::erase_if(entries, [&](const emu::LogEntry& e) { return e.command != command; });
  return entries;
}

std::vector<uint32_t> EmuBench::DataOf(uint32_t command) const {
  std::vector<uint32_t> words;
  for (const emu::LogEntry& entry : LogOf(command)) words.push_back(entry.data);
  return words;
}

void EmuBench::ClearLog() {
  if (live_ != nullptr) live_->machine().FlushLog();
  emu::ClearLog(dir_);
}
