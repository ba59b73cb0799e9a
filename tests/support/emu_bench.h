// emu_bench.h - the bench for flow tests: a temporary emulator directory with adapters, a
// captured console, runs of the whole program in-process on the virtual clock, and access to the
// adapters' state, the link partner, fault injection and the request log.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "emu/adapter_state.h"
#include "emu/request_log.h"
#include "platform/emu/emu_platform.h"
#include "support/capture_console.h"
#include "support/temp_dir.h"

constexpr uint32_t kChipQnt5230 = 0x52300001;
constexpr uint32_t kChipQnt5231 = 0x52310001;
constexpr uint32_t kChipQnt523F = 0x523F0001;

class EmuBench {
 public:
  // An empty emulator directory: no adapter until CreateAdapter.
  EmuBench();
  ~EmuBench();
  EmuBench(const EmuBench&) = delete;
  EmuBench& operator=(const EmuBench&) = delete;

  const std::string& dir() const { return dir_; }

  // Adapters. Every accessor takes the adapter index last, adapter 0 by default. While the
  // platform of Services() is open the accessors work on its live state, else on the files.
  void CreateAdapter(uint32_t index = 0, uint32_t chip = kChipQnt5230, uint32_t eeprom_size = 512);
  void RemoveAdapter(uint32_t index = 0);
  emu::AdapterState State(uint32_t index = 0);
  void Update(const std::function<void(emu::AdapterState&)>& change, uint32_t index = 0);

  std::vector<uint8_t> Eeprom(uint32_t index = 0);                        // eeprom_size bytes
  void SetEeprom(const std::vector<uint8_t>& bytes, uint32_t index = 0);  // from offset 0
  std::vector<uint8_t> Otp(uint32_t index = 0);                           // 512 bytes
  void SetOtp(const std::vector<uint8_t>& bytes, uint32_t index = 0);     // replaces, from 0
  uint32_t Register(uint32_t address, uint32_t index = 0);
  void SetRegister(uint32_t address, uint32_t value, uint32_t index = 0);
  // A PHY register as the driver would read it now, without a read's side effects.
  uint32_t Phy(uint32_t phy_index, uint32_t index = 0);
  // A PHY register write as the driver does it (negotiation restarts where silicon would).
  void WritePhy(uint32_t phy_index, uint32_t value, uint32_t index = 0);
  uint32_t PciConfig(uint32_t offset, uint32_t index = 0);  // 32 bits, little-endian
  uint16_t PciePhy(uint32_t address, uint32_t index = 0);

  // Link: "none", "autoneg 1000fd,100fd,100hd,10fd,10hd[,master|slave]", "forced 100fd".
  // Changing the partner restarts the link; it comes up delay_ms later on the adapter's clock.
  void SetPartner(const std::string& description, uint32_t index = 0);
  void SetLinkDelay(uint32_t delay_ms, uint32_t index = 0);
  void SetLinkModeReply(uint8_t reply, uint32_t index = 0);
  // The cable test's answer for |pair| (0 to 3): status 0 to 3, fault data, or never finishing.
  void SetCableResult(uint32_t pair, uint8_t status, uint8_t data, bool stuck = false,
                      uint32_t index = 0);
  void SetStat(uint32_t counter, uint32_t value, uint32_t index = 0);  // counter 0 to 48

  // Faults: after |skip| requests of |command|, the next |count| (count < 0: all) answer
  // |status|, or fail the control call with system error |error|.
  void FailStatus(uint32_t command, uint32_t status, uint32_t skip = 0, int64_t count = 1,
                  uint32_t index = 0);
  void FailCall(uint32_t command, uint32_t error, uint32_t skip = 0, int64_t count = 1,
                uint32_t index = 0);

  // Milliseconds on the adapter's clock.
  int64_t NowMs(uint32_t index = 0);

  // The captured console of the runs and of Services().
  CaptureConsole& console() { return console_; }
  void SetInput(const std::string& input) { console_.SetInput(input); }
  std::string Output() const { return console_.output(); }
  std::string TakeOutput() { return console_.TakeOutput(); }
  // What the runs wrote to standard error, which is then forgotten.
  std::string TakeDiagnostics() { return console_.TakeDiagnostics(); }

  // Runs the whole program in-process: argv is "5200WinCmd" then |arguments|. A fresh platform
  // per run (closing the one of Services() first); the state is saved when the run ends. A run
  // that leaves a socket, a Windows Sockets start-up, a library or a static ARP entry behind, or
  // that makes a call the system refuses as misuse, fails the test.
  int Run(const std::vector<std::string>& arguments);

  // The platform for tests that drive the device themselves (e.g. a Driver over
  // Services().device). It stays open until ClosePlatform or the next Run, which check it as Run
  // checks its own.
  Platform& Services();
  void ClosePlatform();

  // The request log: every request answered since the bench was made or the log cleared.
  std::vector<emu::LogEntry> Log() const;
  std::vector<emu::LogEntry> LogOf(uint32_t command) const;
  // The first data word (offset 16) of each request of |command|, as the driver received it: the
  // bytes past the request's input length read 0.
  std::vector<uint32_t> DataOf(uint32_t command) const;
  void ClearLog();

 private:
  emu::AdapterState* Live(uint32_t index);
  static void ExpectNothingLeftOpen(const EmuPlatform& platform);
  void AddFault(const emu::Fault& fault, uint32_t index);

  TempDir temp_;
  std::string dir_;
  CaptureConsole console_;
  std::unique_ptr<EmuPlatform> live_;
};
