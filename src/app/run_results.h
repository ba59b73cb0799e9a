// run_results.h - what one run did, collected as it goes for its machine-readable results: the
// operations the command line chose, the adapter and chip, and the values each stage got. The
// stages fill it from the results their layers hand back; results_document.h turns it into text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/command_options.h"
#include "app/run_state.h"
#include "driver/adapter_info.h"
#include "driver/direct_access.h"
#include "driver/driver.h"
#include "phy/cable_diagnostics.h"
#include "phy/link_mode.h"

// One register, PHY, PCI configuration or PCIe PHY access (-R -W -y -Y -e -E -j -J).
struct RegisterAccessRecord {
  DirectAccessTarget target = DirectAccessTarget::kRegister;
  bool write = false;
  uint32_t offset = 0;  // as sent: PCI configuration offsets and PCIe PHY addresses are 16 bits
  uint32_t value = 0;   // the value a write sent
  DirectAccessResult result;
};

struct LinkModeRecord {
  int32_t requested = 0;  // the -l code
  LinkModeResult result = LinkModeResult::kNoLink;
  int link_state = -1;
};

// A ping (-p) or loopback test (-L).
struct NetworkTestRecord {
  std::string destination;  // ping only
  int32_t link_mode = 0;    // loopback only: the mode of the test
  std::string source;       // the adapter address found; empty when none was
  std::vector<bool> runs;   // whether each run that was made passed
};

// The image of a write, once it was built or read.
struct ImageSummary {
  int32_t length = 0;
  uint32_t crc32 = 0;
  uint8_t signature = 0;  // image byte 0
};

// The EEPROM or OTP stage: a save, a write, or switching the OTP off; or a write refused before
// the board was touched, with the identity it was refused.
struct MemoryRecord {
  bool otp = false;
  uint32_t operation = kOpNone;
  bool switch_off = false;
  std::string file;   // a save's file; a write's -b or INI file; "" when none
  int32_t bytes = 0;  // a save's byte count
  std::optional<ImageSummary> image;
  std::string mac_address;    // "" when the write has none
  std::string serial_number;  // "" when the write has none
  bool written = false;       // a write request carrying the image may have reached the board
  bool done = false;          // saved; programmed and verified; switched off
};

struct FirmwareRecord {
  const char* mode = "";
  std::string file;
  std::optional<size_t> bytes;  // the image's length, once the file was read
};

struct ImageFileRecord {
  bool otp = false;
  std::string file;
  bool written = false;
};

// What ended a failed run, where the run knows it better than its first message marked
// "ERROR: " says it (a request's failure inside a set-up, a fault of the INI file): the error,
// and the texts of the messages it already holds, which are then no warnings.
struct FailureCause {
  std::string error;
  std::vector<std::string> told;
};

struct RunResults {
  std::vector<std::string> operations;
  uint32_t adapter = 0;
  std::optional<ChipIdentity> chip;
  std::vector<RegisterAccessRecord> registers;
  std::optional<AdapterInformation> information;
  std::optional<bool> driver_link_up;  // -k, once the driver took it
  std::optional<LinkModeRecord> link_mode;
  std::optional<CableReport> cable;
  std::optional<NetworkTestRecord> ping;
  std::optional<NetworkTestRecord> loopback;
  std::optional<MemoryRecord> memory;
  std::optional<FirmwareRecord> firmware;
  std::optional<ImageFileRecord> image_file;
  std::optional<FailureCause> cause;
};

// A run's results before anything ran: the operations |options| chose, in the order they run,
// and the adapter the request words name.
RunResults ResultsOf(const CommandOptions& options, const RequestWords& words);
