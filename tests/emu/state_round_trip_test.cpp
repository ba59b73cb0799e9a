// state_round_trip_test.cpp - the state file keeps every adapter state it can write: generated
// states come back equal, and the files kept in golden/ load and save again byte for byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "emu/emu_clock.h"
#include "emu/phy_model.h"
#include "emu/request_handler.h"
#include "emu/state_file.h"
#include "support/run_program.h"

namespace {

// Values a state may hold, each kind now and then at the edges of its range.
class Dice {
 public:
  explicit Dice(uint32_t seed) : engine_(seed) {}

  uint32_t Below(uint32_t count) { return Next() % count; }
  bool Coin() { return Below(2) == 0; }
  uint32_t Upto(uint32_t max) {
    switch (Below(4)) {
      case 0:
        return 0;
      case 1:
        return max;
      default:
        return max == UINT32_MAX ? Next() : Next() % (max + 1);
    }
  }
  int64_t Time() {
    const uint64_t high = Next() & 0x1FFFFF;  // below 2^53 with the low word
    const int64_t magnitude =
        Below(4) == 0 ? emu::kMaxTimeMs : static_cast<int64_t>(high << 32 | Next());
    return Coin() ? magnitude : -magnitude;
  }
  std::string Text() {
    static constexpr char kAlphabet[] = "aZ09 -_.,\"\\\t\x01\x1F\x7F\xC3\xA9\xFF";
    std::string text;
    for (uint32_t length = Below(12); length > 0; --length) {
      text += kAlphabet[Below(sizeof kAlphabet - 1)];
    }
    return text;
  }
  // Blank, filled, or runs of bytes apart by blank stretches of every length.
  template <typename Bytes>
  void Fill(Bytes& bytes) {
    const uint32_t mode = Below(4);
    for (size_t offset = 0; offset < bytes.size();) {
      const size_t run = std::min<size_t>(bytes.size() - offset, 1 + Below(mode == 3 ? 40 : 600));
      const bool blank = mode == 0 || (mode >= 2 && Coin());
      for (size_t i = 0; i < run; ++i) {
        bytes[offset + i] = blank ? 0 : static_cast<uint8_t>(Next());
      }
      offset += run;
    }
  }

 private:
  uint32_t Next() { return static_cast<uint32_t>(engine_()); }

  std::mt19937 engine_;
};

emu::LinkPartner Partner(Dice& dice) {
  emu::LinkPartner partner;
  partner.kind = static_cast<emu::PartnerKind>(dice.Below(3));
  if (partner.kind == emu::PartnerKind::kNone) return partner;
  partner.abilities = partner.kind == emu::PartnerKind::kForced ? 1u << dice.Below(5)
                                                                : 1 + dice.Below(emu::kAbilityAll);
  partner.master_slave = static_cast<emu::MasterSlave>(dice.Below(3));
  return partner;
}

void FillLink(Dice& dice, emu::AdapterState& s) {
  s.link = {.partner = Partner(dice),
            .delay_ms = dice.Upto(UINT32_MAX),
            .mode_reply = static_cast<uint8_t>(dice.Upto(0xFF)),
            .policy = static_cast<emu::LinkModePolicy>(dice.Below(2))};
  s.link_runtime = {.admin_up = dice.Coin(),
                    .started_ms = dice.Time(),
                    .was_up = dice.Coin(),
                    .latched_low = dice.Coin(),
                    .advertise = static_cast<uint16_t>(dice.Upto(0xFFFF)),
                    .gig_control = static_cast<uint16_t>(dice.Upto(0xFFFF))};
  for (emu::CableResult& result : s.cable) {
    if (dice.Coin()) continue;
    result = {.set = true,
              .status = static_cast<uint8_t>(dice.Below(4)),
              .data = static_cast<uint8_t>(dice.Upto(0xFF)),
              .stuck = dice.Coin(),
              .busy_polls = dice.Upto(UINT32_MAX)};
  }
  s.cable_register = dice.Upto(0xFFFF);
  s.cable_started_ms = dice.Time();
  s.cable_polls_left = dice.Upto(UINT32_MAX);
}

void FillRegisters(Dice& dice, emu::AdapterState& s) {
  for (uint32_t i = dice.Below(5); i > 0; --i) {
    const uint32_t address = dice.Upto(0xFFFF) & ~3u;
    if (address != 0 && emu::RegisterAddressValid(address)) s.registers[address] = dice.Upto(~0u);
    const uint32_t index = dice.Upto(UINT32_MAX);
    const uint32_t value = dice.Upto(emu::PhyIndexIsWide(index) ? UINT32_MAX : 0xFFFF);
    (dice.Coin() ? s.phy : s.phy_pins)[index] = value;
    s.pcie_phy[dice.Upto(0xFFFF)] = static_cast<uint16_t>(dice.Upto(0xFFFF));
    s.stats[dice.Below(emu::kStatCount)] = dice.Upto(UINT32_MAX);
  }
  for (uint32_t i = dice.Below(4); i > 0; --i) {
    s.faults.push_back({.command = dice.Upto(UINT32_MAX),
                        .skip = dice.Upto(UINT32_MAX),
                        .count = dice.Coin() ? -1 : 1 + int64_t{dice.Upto(UINT32_MAX - 1)},
                        .kind = static_cast<emu::FaultKind>(dice.Below(2)),
                        .value = dice.Upto(UINT32_MAX)});
  }
}

emu::Ip4 Address(Dice& dice) {
  return {static_cast<uint8_t>(dice.Upto(255)), static_cast<uint8_t>(dice.Upto(255)),
          static_cast<uint8_t>(dice.Upto(255)), static_cast<uint8_t>(dice.Upto(255))};
}

void FillNetwork(Dice& dice, emu::NetworkState& n) {
  constexpr uint32_t kCountMax = 999999999;  // nine digits
  n.description = dice.Text();
  n.interface_index = dice.Upto(kCountMax);
  n.has_address = dice.Coin();
  if (n.has_address) n.address = Address(dice);
  n.address_after = dice.Upto(kCountMax);
  n.has_physical = dice.Coin();
  if (n.has_physical) {
    for (uint8_t& byte : n.physical) byte = static_cast<uint8_t>(dice.Upto(255));
  }
  for (uint32_t i = dice.Below(3); i > 0; --i) {
    n.peers.push_back({.address = Address(dice),
                       .silent = dice.Coin(),
                       .foreign = dice.Upto(kCountMax),
                       .noise = dice.Upto(kCountMax),
                       .reply_type = dice.Upto(255),
                       .delay_ms = dice.Upto(kCountMax)});
  }
  n.plug_speed = std::array<uint32_t, 3>{0, 100, 1000}[dice.Below(3)];
  n.plug_noise = dice.Upto(kCountMax);
  for (uint32_t i = dice.Below(3); i > 0; --i) {
    emu::ArpRecord record{.interface_index = dice.Upto(kCountMax),
                          .address = Address(dice),
                          .type = dice.Upto(kCountMax)};
    for (uint8_t& byte : record.physical) byte = static_cast<uint8_t>(dice.Upto(255));
    n.arp.push_back(record);
  }
}

emu::AdapterState GenerateState(uint32_t seed) {
  Dice dice(seed);
  emu::AdapterState s = emu::MakeAdapter(dice.Upto(UINT32_MAX), {});
  s.id_value = dice.Upto(UINT32_MAX);
  s.eeprom_size = dice.Coin() ? 256 : 512;
  s.clock = static_cast<emu::ClockMode>(dice.Below(2));
  s.time_ms = dice.Time();
  for (uint32_t& part : s.driver_version) part = dice.Upto(UINT32_MAX);
  for (uint32_t& bits : s.adapter_bits) bits = dice.Upto(UINT32_MAX);
  s.location = dice.Text();
  s.registry_key = dice.Text();
  s.pdo_name = dice.Text();
  s.port = dice.Upto(UINT32_MAX);
  FillLink(dice, s);
  FillRegisters(dice, s);
  FillNetwork(dice, s.network);
  dice.Fill(s.eeprom);
  dice.Fill(s.otp);
  dice.Fill(s.pci_config);
  dice.Fill(s.mcu.sfr);
  // A microcontroller memory of blank bytes only is written as none at all.
  if (dice.Coin()) {
    dice.Fill(s.mcu.Xdata());
    s.mcu.xdata[dice.Below(emu::McuState::kXdataSize)] = 0x5A;
  }
  s.mcu.control = dice.Upto(0xFF);
  s.mcu.address = dice.Upto(0xFFFF);
  s.e2p_open = dice.Coin();
  s.otp_access = static_cast<emu::OtpAccess>(dice.Below(3));
  return s;
}

TEST(StateRoundTrip, GeneratedStatesComeBackEqual) {
  for (uint32_t seed = 0; seed < 150; ++seed) {
    const emu::AdapterState state = GenerateState(seed);
    const std::string text = emu::FormatAdapterState(state);
    emu::AdapterState parsed;
    std::string error;
    ASSERT_TRUE(emu::ParseAdapterState(text, &parsed, &error)) << "seed " << seed << ": " << error;
    EXPECT_TRUE(parsed == state) << "seed " << seed;
    EXPECT_EQ(emu::FormatAdapterState(parsed), text) << "seed " << seed;
  }
}

// The files in golden/ were written by earlier versions of the emulator: what they hold must
// load, and saving it again must write the same bytes.
TEST(StateRoundTrip, GoldenFilesLoadAndSaveUnchanged) {
  const std::filesystem::path folder = std::filesystem::path(QNT_SOURCE_DIR) / "tests/emu/golden";
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".state") continue;
    ++files;
    const std::string text = ReadFileText(entry.path().string());
    emu::AdapterState parsed;
    std::string error;
    ASSERT_TRUE(emu::ParseAdapterState(text, &parsed, &error)) << entry.path() << ": " << error;
    EXPECT_EQ(emu::FormatAdapterState(parsed), text) << entry.path();
  }
  EXPECT_GE(files, 3u);
}

}  // namespace
