// adapter_state.h - everything one emulated adapter holds: the controller's memories and register
// files, the driver's information answers, the link partner, the clock, the open brackets and the
// faults waiting to be injected. Persisted by state_file.h.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "emu/network_state.h"
#include "emu/phy_registers.h"
#include "emu/wire_format.h"

namespace emu {

enum class ClockMode { kVirtual, kReal };
enum class OtpAccess { kClosed, kRead, kWrite };

// Link abilities, as a bit set.
constexpr uint32_t kAbility10Hd = 1u << 0;
constexpr uint32_t kAbility10Fd = 1u << 1;
constexpr uint32_t kAbility100Hd = 1u << 2;
constexpr uint32_t kAbility100Fd = 1u << 3;
constexpr uint32_t kAbility1000Fd = 1u << 4;
constexpr uint32_t kAbilityAll = 0x1F;

enum class PartnerKind { kNone, kAutoneg, kForced };
// The partner's master/slave setting: automatic, or manually configured.
enum class MasterSlave { kAuto, kMaster, kSlave };

struct LinkPartner {
  PartnerKind kind = PartnerKind::kNone;
  // Autoneg: every ability advertised. Forced: exactly one ability, the forced mode.
  uint32_t abilities = 0;
  MasterSlave master_slave = MasterSlave::kAuto;

  bool operator==(const LinkPartner&) const = default;
};

// How SET_LINK_MODE programs the PHY for codes 1 to 4 (1000 full duplex is always advertised).
enum class LinkModePolicy { kAdvertise, kForce };

struct LinkSettings {
  LinkPartner partner;
  uint32_t delay_ms = 2500;  // from a (re)start of the link to link up
  uint8_t mode_reply = 0;    // the byte SET_LINK_MODE answers
  LinkModePolicy policy = LinkModePolicy::kAdvertise;

  bool operator==(const LinkSettings&) const = default;
};

// Where the link stands; times are on the adapter's clock.
struct LinkRuntime {
  bool admin_up = true;      // SET_LINK_STATE
  int64_t started_ms = 0;    // when negotiation last (re)started
  bool was_up = false;       // link state at the last look, to latch drops
  bool latched_low = false;  // a drop not yet seen by a read of PHY register 1
  // Registers 4 and 9 as they were when negotiation last started: a new advertisement takes
  // effect at the next restart, as on silicon.
  uint16_t advertise = kResetAdvertise;
  uint16_t gig_control = kResetGigControl;

  bool operator==(const LinkRuntime&) const = default;
};

enum class FaultKind { kStatus, kError, kKill };

// The next |count| requests of |command| after |skip| more answer |value| as the status or fail
// the control call with |value| as the system error; kKill ends the process making the request
// as it arrives (SIGTERM), a station switched off in the middle of it. A count below 0 never
// runs out.
struct Fault {
  uint32_t command = 0;
  uint32_t skip = 0;
  int64_t count = 1;
  FaultKind kind = FaultKind::kStatus;
  uint32_t value = 1;

  bool operator==(const Fault&) const = default;
};

// The result of the PHY's cable test for one pair; unset pairs answer from the link partner.
struct CableResult {
  bool set = false;
  uint8_t status = 0;       // 0 normal, 1 open, 2 shorted, 3 failed
  uint8_t data = 0;         // distance count or failure byte
  bool stuck = false;       // the test never completes
  uint32_t busy_polls = 0;  // reads of the register that still show the test running

  bool operator==(const CableResult&) const = default;
};

// The PHY microcontroller's memories, reached through PHY registers 0x40010 to 0x40013.
struct McuState {
  static constexpr size_t kXdataSize = 0x10000;

  // The 64 KiB data memory, empty until first used: an adapter whose microcontroller was never
  // loaded carries none of it from run to run.
  std::vector<uint8_t> xdata;
  std::vector<uint8_t>& Xdata() {
    if (xdata.empty()) xdata.assign(kXdataSize, 0);
    return xdata;
  }
  std::array<uint8_t, 256> sfr{};
  uint32_t control = 0;
  uint32_t address = 0;

  bool operator==(const McuState&) const = default;
};

struct AdapterState {
  uint32_t index = 0;
  uint32_t id_value = 0x52300001;  // controller register 0: chip ID and revision
  uint32_t eeprom_size = 512;      // 256 or 512; a 256-byte part ignores address bit 8
  ClockMode clock = ClockMode::kVirtual;
  int64_t time_ms = 0;  // the virtual clock

  std::map<uint32_t, uint32_t> registers;  // controller registers other than 0
  std::map<uint32_t, uint32_t> phy;        // PHY registers as written (modelled ones derived)
  // PHY registers whose reads show a fixed value, whatever the model says (qnt5200-emu phy --pin),
  // so that register combinations no link partner produces can be shown to the utility.
  std::map<uint32_t, uint32_t> phy_pins;
  std::map<uint32_t, uint16_t> pcie_phy;
  std::array<uint8_t, kEepromCapacity> eeprom{};
  std::array<uint8_t, kOtpSize> otp{};
  std::array<uint8_t, kPciConfigSize> pci_config{};
  std::array<uint32_t, kStatCount> stats{};

  std::array<uint32_t, 4> driver_version{};
  std::array<uint32_t, 3> adapter_bits{};
  std::string location;  // UTF-8; answered as UTF-16LE
  std::string registry_key;
  std::string pdo_name;
  uint32_t port = 0;

  LinkSettings link;
  LinkRuntime link_runtime;
  std::array<CableResult, 4> cable{};
  uint32_t cable_register = 0;  // last value written to the cable-test register
  int64_t cable_started_ms = 0;
  uint32_t cable_polls_left = 0;  // reads before the running test shows its result
  McuState mcu;
  NetworkState network;

  bool e2p_open = false;
  OtpAccess otp_access = OtpAccess::kClosed;
  std::vector<Fault> faults;

  bool operator==(const AdapterState&) const = default;
};

struct AdapterOptions {
  uint32_t id_value = 0x52300001;
  uint32_t eeprom_size = 512;
  ClockMode clock = ClockMode::kVirtual;

  bool operator==(const AdapterOptions&) const = default;
};

// A freshly made adapter: blank EEPROM (0xFF) and OTP (0x00), the PCI header of its chip, PHY at
// reset defaults, plausible driver information, no link partner.
AdapterState MakeAdapter(uint32_t index, const AdapterOptions& options);

// Chip names accepted by the tool: QNT5230, QNT5231, QNT523F, or a 32-bit register-0 value.
bool ParseChip(const char* text, uint32_t* id_value);

}  // namespace emu
