// identity_reservation.h - one identity, one board. A -w run's MAC address and serial number are
// checked before the board is touched, and set aside durably right before the first write
// request that carries them: the INI file is stepped past them (-s) and the record says they are
// taken (-t). From then on they belong to this board, whatever becomes of the run; a board that
// holds an identity a failed run gave it is programmed with that identity again. A run that fails
// before that request has used up nothing. The rule is written here once, over whichever record
// store -t names.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/command_options.h"
#include "app/error_watch_console.h"
#include "app/record_stage.h"
#include "app/run_state.h"
#include "common/image_buffer.h"
#include "common/step_result.h"
#include "config/stepping/identity_step.h"
#include "config/stepping/ini_write_back.h"
#include "driver/driver.h"
#include "nvm/write_gate.h"
#include "platform/clock.h"
#include "platform/user_file.h"
#include "record/record_store.h"

class IdentityReservation : public WriteGate {
 public:
  // |ini_lock| holds the INI file of a stepping run from its load on; it is let go once the
  // next values are written back, so that the next station need not wait for this board.
  // |console| tells the record the run's first error; |clock| its duration.
  IdentityReservation(const CommandOptions& options, UserFileLock& ini_lock, uint32_t adapter,
                      ErrorWatchConsole& console, Clock& clock);

  // Everything that can be known before the board is written: the record opened, the board's own
  // identity read when the record shows one sent to a board by a run that did not succeed (the
  // settings then carry that identity), the INI identity checked and its step tried, the
  // record's guard. Returns 0, or the exit code after its message. |run| outlives the
  // reservation.
  int Prepare(Driver& driver, RunState& run);

  void Starting() override { started_ = true; }
  bool Pass(const uint8_t* image, int32_t length) override;
  void Written(bool accepted) override;
  // A write request carrying the identity was sent: it may have reached the board.
  bool sent() const { return sent_; }
  // The gate stopped the write: the identity could not be set aside.
  bool refused() const { return refused_; }
  // The identity the board is given, once prepared.
  const BoardIdentity& identity() const { return identity_; }

  // After the memory stage, with whether the image was written and verified: the lines that
  // tell what became of the identity. Stops the run with 10 when the board took the last
  // identity of the range.
  StepResult AfterWrite(bool programmed);

  // Records the run's outcome. Returns |exit_code|, or 10 when a successful run could not be
  // recorded.
  int Close(const ImageBuffer& image, int exit_code);

 private:
  int FindRework(Driver& driver, RunState& run);
  int TryStep(const DeviceSettings& settings);
  int Guard(bool serial_counts);
  bool Reserve(const uint8_t* image, int32_t length);
  BoardRecordLine LineOf(const ImageBuffer& image) const;
  int Refuse(int exit_code);
  std::string IdentityText() const;
  void GiveBackIniValues();

  const CommandOptions& options_;
  const RunState* run_ = nullptr;
  UserFileLock& ini_lock_;
  std::unique_ptr<RecordStore> record_;  // null without -t
  uint32_t adapter_;
  ErrorWatchConsole& console_;
  Clock& clock_;
  const char* ini_name_;
  bool stepping_;

  BoardIdentity identity_;
  bool serial_counts_ = false;
  bool rework_ = false;  // the board holds the identity a run that did not succeed gave it
  DeviceSettings next_;  // the INI values the next board gets
  StepOutcome step_ = StepOutcome::kStepped;
  std::string step_messages_;
  std::vector<IniValueEdit> ini_edits_;
  bool started_ = false;  // the write of the image began
  bool sent_ = false;
  bool accepted_ = false;  // the driver took every write request of the image
  bool refused_ = false;
};
