// identity_reservation.cpp - the checks before the board, the reservation at the write gate and
// the account of the identity after the write.
#include "app/identity_reservation.h"

#include <algorithm>
#include <optional>

#include "app/identity_checks.h"
#include "app/text_console.h"
#include "common/exit_codes.h"
#include "driver/image_macs.h"
#include "platform/station.h"

namespace {

const char* NameOf(const OwnedText& text) { return text.IsSet() ? text.get() : nullptr; }

}  // namespace

IdentityReservation::IdentityReservation(const CommandOptions& options, UserFileLock& ini_lock,
                                         uint32_t adapter, ErrorWatchConsole& console, Clock& clock)
    : options_(options),
      ini_lock_(ini_lock),
      adapter_(adapter),
      console_(console),
      clock_(clock),
      ini_name_(NameOf(options.IniFileName)),
      record_name_(NameOf(options.RecordFileName)),
      stepping_(options.SteppingEnabled) {}

int IdentityReservation::Prepare(Driver& driver, RunState& run) {
  run_ = &run;
  identity_ = IdentityOf(options_, run.settings);
  if (record_name_ != nullptr) {
    if (const int refused =
            OpenBoardRecord(options_, identity_, console_, &record_lock_, &record_)) {
      return refused;
    }
    if (record_.HasOpenIdentities()) {
      if (const int refused = FindRework(driver, run)) return Refuse(refused);
    }
  }
  // A reworked board keeps what it holds: no new identity is checked, stepped or guarded.
  if (rework_line_ != 0) return 0;
  if (ini_name_ != nullptr) {
    if (const int refused = CheckIniIdentity(run.settings, ini_name_, console_)) {
      return Refuse(refused);
    }
  }
  if (stepping_) {
    if (const int refused = TryStep(run.settings)) return Refuse(refused);
  }
  if (record_name_ == nullptr) return 0;
  // A serial number that does not step is the same on every board by design.
  const bool serial_counts = run.settings.SerialNumberIncrement != 0;
  return Refuse(GuardIdentity(record_, identity_, serial_counts, record_name_, console_));
}

// A run refused before the board was touched is recorded as such, when the record is open.
int IdentityReservation::Refuse(int exit_code) {
  if (exit_code == 0 || record_name_ == nullptr) return exit_code;
  BoardRecordLine line = LineOf(ImageBuffer{});
  line.result = exit_code;
  line.refused = true;
  AppendRecordLine(record_name_, line, console_);
  return exit_code;
}

// One read of the board tells whether it is a board that a run which did not succeed wrote.
int IdentityReservation::FindRework(Driver& driver, RunState& run) {
  const bool otp = options_.OtpMode;
  std::vector<MacAddress> held;
  if (!ReadImageMacAddresses(driver, otp, run.eeprom_size, &held)) {
    console_.Error(
        "The board's MAC address could not be read, so it is not known whether it holds an "
        "identity of the record file %s; nothing was programmed\n",
        record_name_);
    return otp ? kExitOtpReadFailed : kExitEepromReadFailed;
  }
  for (const MacAddress& mac : held) {
    const std::optional<IdentityOwner> found = record_.OpenIdentityOf(mac);
    if (!found) continue;
    const IdentityOwner& entry = *found;
    DeviceSettings& settings = run.settings;
    settings.CurrentMacAddress = mac;
    settings.CurrentMacAddressPresent = 1;
    if (!entry.serial_number.empty()) settings.CurrentSerialNumber = entry.serial_number;
    rework_line_ = entry.line;
    identity_ = IdentityOf(options_, settings);
    console_.Printf(
        "The board holds MAC address %s, which a run that did not succeed gave it (line %d of "
        "the record file %s): it is programmed with that identity again\n",
        entry.mac_address.c_str(), entry.line, record_name_);
    return 0;
  }
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
  if (passed_) return true;
  if (stepping_ && rework_line_ == 0) {
    DeviceSettings stepped = next_;
    if (UpdateIniFile(ini_name_, stepped, console_, &ini_edits_) != 0) {
      console_.Error("Failed to update ini file\n");
      refused_ = true;
      return false;
    }
  }
  if (record_name_ != nullptr) {
    ImageBuffer reserved;
    std::copy(image, image + std::clamp<int32_t>(length, 0, kImageBufferSize), reserved.bytes);
    reserved.length = length;
    BoardRecordLine line = LineOf(reserved);
    line.reserved = true;
    if (!AppendRecordLine(record_name_, line, console_)) {
      record_lock_.Release();
      GiveBackIniValues();
      refused_ = true;
      return false;
    }
  }
  // Set aside: the next station may take its turn while this board is written.
  ini_lock_.Release();
  record_lock_.Release();
  passed_ = true;
  return true;
}

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
  verified_ = passed_ && programmed;
  if (!passed_ || (!stepping_ && record_name_ == nullptr)) return {};
  const std::string identity = IdentityText();
  if (!programmed) {
    if (rework_line_ == 0) {
      console_.Printf("The board was written with %s, which now belongs to it: %s\n",
                      identity.c_str(),
                      record_name_ != nullptr
                          ? "no other board is given it, and programming this board again with "
                            "the record file keeps it"
                          : "no other board is given it, the INI file holds the next values");
    }
    return {};
  }
  if (!stepping_ || rework_line_ != 0) return {};
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
  if (record_name_ == nullptr) return exit_code;
  BoardRecordLine line = LineOf(image);
  line.result = exit_code;
  line.written = passed_;
  line.verified = verified_;
  if (AppendRecordLine(record_name_, line, console_)) return exit_code;
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
