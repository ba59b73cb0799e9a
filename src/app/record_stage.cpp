// record_stage.cpp - the per-board record stage. The identity comes from the INI file when it
// gives one (it is patched into a -b image too), else from the image file itself.
#include "app/record_stage.h"

#include <algorithm>
#include <ctime>
#include <vector>

#include "common/exit_codes.h"
#include "common/image_buffer.h"
#include "format/image_decode.h"
#include "format/otp_form.h"
#include "platform/record_append.h"

namespace {

std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  char text[32] = "";
  if (const std::tm* utc = std::gmtime(&now))
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", utc);
  return text;
}

// Waits for another station's turn to end, saying so once.
bool LockRecord(const char* path, UserFileLock* lock, Console& console) {
  UserFileLock::Result locked = lock->Acquire(path, false);
  if (locked == UserFileLock::Result::kBusy) {
    console.Printf("The record file %s is in use by another run; waiting for it\n", path);
    locked = lock->Acquire(path, true);
  }
  return locked == UserFileLock::Result::kLocked;
}

int Refuse(const char* what, const char* text, const IdentityOwner& entry, const char* record_name,
           Console& console) {
  if (entry.use == IdentityUse::kProgrammed) {
    console.Error("%s %s was programmed already: line %d of the record file %s\n", what, text,
                  entry.line, record_name);
  } else {
    console.Error(
        "%s %s was sent to a board already by a run that did not succeed: line %d of the record "
        "file %s; only that board may be programmed with it again\n",
        what, text, entry.line, record_name);
  }
  return kExitModifyFailed;
}

}  // namespace

BoardIdentity IdentityOf(const CommandOptions& options, const DeviceSettings& settings) {
  BoardIdentity identity;
  DecodedImage file_image;
  std::vector<uint8_t> bytes(kMaxImageFileBytes);
  size_t count = 0;
  if (options.BinaryFileName.IsSet() &&
      ReadUserFile(options.BinaryFileName.get(), bytes.data(), bytes.size(), &count)) {
    file_image = DecodeImageFile(bytes.data(), count);
  }
  if (settings.CurrentMacAddressPresent != 0) {
    identity.mac_address = MacAddressText(settings.CurrentMacAddress);
  } else if (file_image.Holds(kMacAddressOffset, kMacAddressBytes)) {
    identity.mac_address = MacAddressText(file_image.Mac());
  }
  if (settings.CurrentSerialNumber) {
    identity.serial_number = *settings.CurrentSerialNumber;
  } else if (file_image.strings[kSerialNumberSlot].present) {
    identity.serial_number = file_image.strings[kSerialNumberSlot].text;
  }
  return identity;
}

int OpenBoardRecord(const CommandOptions& options, const BoardIdentity& identity, Console& console,
                    UserFileLock* lock, RecordIdentities* identities) {
  const char* path = options.RecordFileName.get();
  for (const OwnedText* input : {&options.IniFileName, &options.BinaryFileName}) {
    if (input->IsSet() && SameUserFile(path, input->get())) {
      console.Error("The record file %s is the file the board is programmed from\n", path);
      return kExitModifyFailed;
    }
  }
  // A record that cannot take the line is found out before the board is written.
  if (!CanAppendToFile(path)) {
    console.Error("Couldn't write the record file %s\n", path);
    return kExitModifyFailed;
  }
  UserFileReader record;
  if (!LockRecord(path, lock, console) || !record.Open(path) ||
      !identities->Read(record, identity.mac_address, identity.serial_number)) {
    console.Error("Couldn't read the record file %s\n", path);
    return kExitModifyFailed;
  }
  for (const int line : identities->malformed_lines()) {
    console.Warning("Line %d of the record file %s cannot be read; it is passed over\n", line,
                    path);
  }
  return 0;
}

int GuardIdentity(const RecordIdentities& identities, const BoardIdentity& identity,
                  bool serial_counts, const char* record_name, Console& console) {
  if (identities.MacOwner().use != IdentityUse::kFree) {
    return Refuse("MAC address", identity.mac_address.c_str(), identities.MacOwner(), record_name,
                  console);
  }
  if (serial_counts && identities.SerialOwner().use != IdentityUse::kFree) {
    return Refuse("Serial number", identity.serial_number.c_str(), identities.SerialOwner(),
                  record_name, console);
  }
  return 0;
}

BoardRecordLine RecordLineOf(const CommandOptions& options, const ChipIdentity& chip,
                             const BoardIdentity& identity, uint32_t adapter,
                             const ImageBuffer& image) {
  BoardRecordLine line;
  line.time = UtcNow();
  line.adapter = adapter;
  line.chip = chip.name;
  line.memory = options.OtpMode ? "otp" : "eeprom";
  line.mac_address = identity.mac_address;
  line.serial_number = identity.serial_number;
  line.image_length = image.length;
  const int32_t crc_length = std::clamp<int32_t>(image.length, 0, kImageBufferSize);
  line.crc32 = Crc32(image.bytes, static_cast<size_t>(crc_length));
  const OwnedText& file =
      options.BinaryFileName.IsSet() ? options.BinaryFileName : options.IniFileName;
  line.file = file.IsSet() ? file.get() : "";
  return line;
}

bool AppendRecordLine(const char* record_name, const BoardRecordLine& line, Console& console) {
  if (AppendLineFlushed(record_name, kBoardRecordHeader, FormatBoardRecordLine(line))) return true;
  console.Error("Couldn't write the record file %s\n", record_name);
  return false;
}
