// slot_state.h - what the rig knows of one slot: the adapter, its run's stage as the run's own
// output tells it, the identity its document names, its exit code and its time.
#pragma once

#include <cstdint>
#include <string>

enum class SlotStage {
  kWaiting,    // no run started yet
  kChecking,   // started: the run checks its files, the identity and the board
  kWriting,    // the memory is being written (|progress| when the run shows a percentage)
  kVerifying,  // written, read back
  kStepping,   // the INI file takes the next identity
  kDone,       // ended with 0
  kFailed,     // ended with another code after the board was touched
  kRefused,    // ended before the board was touched, or never started
  kKilled,     // a signal ended it
};

struct SlotState {
  uint32_t adapter = 0;
  std::string chip;  // "" while unknown
  SlotStage stage = SlotStage::kWaiting;
  int progress = -1;  // the last percentage the run wrote, -1 for none
  std::string mac_address;
  std::string serial_number;
  bool started = false;
  bool ended = false;
  int exit_code = 0;
  int signal = 0;
  std::string why;  // why no run was started
  int64_t duration_ms = 0;
};

// The stage's word in the table ("writing 40%").
std::string StageText(const SlotState& slot);

// Follows a run's output: |text| is what the log gained since the last call. The stage moves only
// forward. Returns whether the slot changed.
class LogFollower {
 public:
  bool Feed(const std::string& text, SlotState* slot);

 private:
  // |progress|: the line ended in a carriage return, as a progress line does.
  bool Line(const std::string& line, bool progress, SlotState* slot);
  std::string partial_;
};

// Settles the slot once its run ended: its code, the signal that ended it, and what its run's
// results document (|document|, "" when there is none) says of the identity and of the write.
void SettleSlot(int exit_code, int signal, const std::string& document, SlotState* slot);

// The meaning of the slot's exit code for the summary.
std::string SlotMeaning(const SlotState& slot);
