// identity_reservation.cpp - the checks before the board, the reservation at the write gate and
// the account of the identity after the write.
#include "app/identity_reservation.h"

#include <algorithm>

#include "app/identity_checks.h"
#include "app/ini_source_checks.h"
#include "app/text_console.h"
#include "common/exit_codes.h"
#include "driver/image_macs.h"
#include "platform/station.h"

namespace {

const char* NameOf(const OwnedText& text) { return text.IsSet() ? text.get() : nullptr; }

// An identity a board may hold after a run that did not succeed.
bool Unfinished(IdentityState state) {
  return state == IdentityState::kReserved || state == IdentityState::kWritten ||
         state == IdentityState::kFailed;
}

}  // namespace

IdentityReservation::IdentityReservation(const CommandOptions& options, UserFileLock& ini_lock,
                                         uint32_t adapter, ErrorWatchConsole& console, Clock& clock)
    : options_(options),
      ini_lock_(ini_lock),
      record_(RecordStoreOf(options, console)),
      adapter_(adapter),
      console_(console),
      clock_(clock),
      ini_name_(NameOf(options.IniFileName)),
      stepping_(options.SteppingEnabled) {}

int IdentityReservation::Prepare(Driver& driver, RunState& run) {
  run_ = &run;
  if (record_ != nullptr) {
    if (record_->Open() != RecordStatus::kDone) return kExitModifyFailed;
    // The identity the run means to give is looked up first: a file record is read once for it,
    // and that read tells the rest of the turn too.
    const BoardIdentity meant = IdentityOf(options_, run.settings);
    RecordKnowledge known;
    if (record_->LookUp(meant.mac_address, meant.serial_number, &known) != RecordStatus::kDone) {
      return kExitModifyFailed;
    }
    bool may_hold = false;
    if (record_->MayHoldUnfinished(&may_hold) != RecordStatus::kDone) {
      return Refuse(kExitModifyFailed);
    }
    if (may_hold) {
      if (const int refused = FindRework(driver, run)) return Refuse(refused);
    }
  }
  identity_ = IdentityOf(options_, run.settings);
  // The INI file's own checks first: a broken file is told as such, not as an identity refused.
  if (const int refused = CheckIniSource(options_, run, console_)) return Refuse(refused);
  // A serial number that does not step is the same on every board by design.
  serial_counts_ = run.settings.SerialNumberIncrement != 0;
  // A reworked board keeps what it holds: no new identity is checked, stepped or guarded.
  if (rework_) return 0;
  if (ini_name_ != nullptr) {
    if (const int refused = CheckIniIdentity(run.settings, ini_name_, stepping_, console_)) {
      return Refuse(refused);
    }
  }
  if (stepping_) {
    if (const int refused = TryStep(run.settings)) return Refuse(refused);
  }
  return Refuse(Guard(serial_counts_));
}

int IdentityReservation::Guard(bool serial_counts) {
  if (record_ == nullptr) return 0;
  RecordKnowledge known;
  if (record_->LookUp(identity_.mac_address, identity_.serial_number, &known) !=
      RecordStatus::kDone) {
    return kExitModifyFailed;
  }
  return GuardIdentity(known, identity_, serial_counts, console_);
}

// A run refused before the board was touched is recorded as such, when the record is open.
int IdentityReservation::Refuse(int exit_code) {
  if (exit_code == 0 || record_ == nullptr) return exit_code;
  BoardRecordLine line = LineOf(ImageBuffer{});
  line.result = exit_code;
  line.refused = true;
  record_->RecordOutcome(line);
  return exit_code;
}

// One read of the board tells whether it is a board that a run which did not succeed wrote.
int IdentityReservation::FindRework(Driver& driver, RunState& run) {
  const bool otp = options_.OtpMode;
  std::vector<MacAddress> held;
  if (!ReadImageMacAddresses(driver, otp, run.eeprom_size, &held)) {
    console_.Error(
        "The board's MAC address could not be read, so it is not known whether it holds an "
        "identity of %s; nothing was programmed\n",
        record_->Describe().c_str());
    return otp ? kExitOtpReadFailed : kExitEepromReadFailed;
  }
  std::vector<std::string> held_texts(held.size());
  std::transform(held.begin(), held.end(), held_texts.begin(),
                 [](const MacAddress& mac) { return MacAddressText(mac); });
  IdentityOwner owner;
  if (record_->FindUnfinished(held_texts, &owner) != RecordStatus::kDone) return kExitModifyFailed;
  if (!Unfinished(owner.state)) return 0;
  MacAddress mac;
  if (!ParseMacAddress(owner.mac_address, &mac)) return 0;
  DeviceSettings& settings = run.settings;
  settings.CurrentMacAddress = mac;
  settings.CurrentMacAddressPresent = 1;
  if (!owner.serial_number.empty()) settings.CurrentSerialNumber = owner.serial_number;
  rework_ = true;
  console_.Printf(
      "The board holds MAC address %s, which a run that did not succeed gave it (%s): it is "
      "programmed with that identity again\n",
      owner.mac_address.c_str(), owner.where.c_str());
  return 0;
}

// The step is made before the board is touched: a run whose INI file has no next value for the
// board after this one would hand this board's identity to the next.
int IdentityReservation::TryStep(const DeviceSettings& settings) {
  next_ = settings;
  TextConsole messages;
  step_ = StepIdentityOutcome(next_, messages);
  step_messages_ = messages.text();
  if (step_ != StepOutcome::kFailed) return 0;
  console_.Write(step_messages_.data(), step_messages_.size());
  console_.Error("Couldn't increase any Mac or serial number.\n");
  console_.Printf(
      "Nothing was programmed: %s holds no next value to step to; correct its [MacAddress] and "
      "[SerialNumber] sections\n",
      ini_name_);
  return kExitModifyFailed;
}

bool IdentityReservation::Pass(const uint8_t* image, int32_t length) {
  if (sent_) return true;
  if (!Reserve(image, length)) {
    refused_ = true;
    return false;
  }
  // Set aside: the next station may take its turn while this board is written.
  ini_lock_.Release();
  sent_ = true;
  return true;
}

// The INI file first, the record last: a run that dies between the two leaves an identity that
// no board got and no run will hand out, never one that two boards get.
bool IdentityReservation::Reserve(const uint8_t* image, int32_t length) {
  if (stepping_ && !rework_) {
    DeviceSettings stepped = next_;
    if (UpdateIniFile(ini_name_, stepped, console_, &ini_edits_) != 0) {
      console_.Error("Failed to update ini file\n");
      return false;
    }
  }
  if (record_ == nullptr) return true;
  ImageBuffer reserved;
  std::copy(image, image + std::clamp<int32_t>(length, 0, kImageBufferSize), reserved.bytes);
  reserved.length = length;
  const RecordReservation reservation{
      .line = LineOf(reserved), .serial_counts = serial_counts_, .rework = rework_};
  IdentityOwner owner;
  const RecordStatus status = record_->Reserve(reservation, &owner);
  if (status == RecordStatus::kDone) return true;
  if (status == RecordStatus::kConflict) {
    const bool mac = owner.mac_address == identity_.mac_address;
    RefuseHeldIdentity(mac ? "MAC address" : "Serial number",
                       mac ? identity_.mac_address : identity_.serial_number, owner, console_);
  }
  if (status == RecordStatus::kUnknown) {
    // The record may hold it for this run: no other board may get it, and this one is not
    // written with an identity the record may not hold.
    ini_edits_.clear();
    ini_lock_.Release();
    console_.Printf(
        "Nothing was programmed: the record may hold %s for this run, so no board will be given "
        "it%s\n",
        IdentityText().c_str(),
        stepping_ && !rework_ ? "; the INI file stays stepped past it" : "");
    return false;
  }
  GiveBackIniValues();
  return false;
}

void IdentityReservation::Written(bool accepted) { accepted_ = accepted; }

// Nothing reached the board, so its values go back to the INI file, unless another station has
// stepped past them in the meantime (then they are simply never used).
void IdentityReservation::GiveBackIniValues() {
  if (ini_edits_.empty()) return;
  ini_lock_.Release();
  UserFileLock lock;
  if (lock.Acquire(ini_name_, true) == UserFileLock::Result::kLocked) {
    RestoreIniFile(ini_name_, ini_edits_);
  }
  ini_edits_.clear();
}

StepResult IdentityReservation::AfterWrite(bool programmed) {
  verified_ = sent_ && programmed;
  if (!stepping_ && record_ == nullptr) return {};
  const std::string identity = IdentityText();
  if (!sent_) {
    // A refused reservation has said why already; a run that never began to write, or a board
    // that holds its identity from before, has nothing to tell of it.
    if (started_ && !refused_ && !rework_) {
      console_.Printf("Nothing carrying %s was sent to the board, so it is not used up\n",
                      identity.c_str());
    }
    return {};
  }
  if (!programmed) {
    if (rework_) return {};
    const char* kept = record_ != nullptr
                           ? "programming this board again with the record file keeps it"
                           : "the INI file holds the next values";
    if (accepted_) {
      console_.Printf(
          "The board was written with %s, but the write was not verified: no other board is "
          "given it; %s\n",
          identity.c_str(), kept);
    } else {
      console_.Printf(
          "A write request carrying %s was sent to the board, and the write failed: it may have "
          "reached the board, so no other board is given it; %s%s\n",
          identity.c_str(), kept, record_ != nullptr ? " if the board holds it" : "");
    }
    return {};
  }
  if (!stepping_ || rework_) return {};
  if (step_ == StepOutcome::kStepped) {
    console_.Print("Updated ini file\n");
    return {};
  }
  console_.Write(step_messages_.data(), step_messages_.size());
  console_.Error("Couldn't increase any Mac or serial number.\n");
  console_.Printf(
      "This board was programmed with %s, the last of the range in %s; the next run is refused "
      "until the file is given a new range\n",
      identity.c_str(), ini_name_);
  return {.exit_code = kExitModifyFailed, .stop = true};
}

int IdentityReservation::Close(const ImageBuffer& image, int exit_code) {
  if (record_ == nullptr) return exit_code;
  BoardRecordLine line = LineOf(image);
  line.result = exit_code;
  line.written = sent_;
  line.verified = verified_;
  if (record_->RecordOutcome(line) == RecordStatus::kDone) return exit_code;
  return exit_code != 0 ? exit_code : kExitModifyFailed;
}

BoardRecordLine IdentityReservation::LineOf(const ImageBuffer& image) const {
  BoardRecordLine line = RecordLineOf(options_, run_->chip, identity_, adapter_, image);
  line.station = StationName();
  line.duration_ms = clock_.GetTickCount() - run_->started_ms;
  line.error = console_.first_error();
  return line;
}

std::string IdentityReservation::IdentityText() const {
  std::string text;
  if (!identity_.mac_address.empty()) text = "MAC address " + identity_.mac_address;
  if (!identity_.serial_number.empty()) {
    text += (text.empty() ? "serial number " : " and serial number ") + identity_.serial_number;
  }
  return text.empty() ? "its identity" : text;
}
