// record_stage.cpp - the per-board record stage. The identity comes from the INI file when it
// gives one (it is patched into a -b image too), else from the image file itself.
#include "app/record_stage.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <vector>

#include "app/board_record.h"
#include "common/exit_codes.h"
#include "config/image/image_decode.h"
#include "platform/record_append.h"
#include "platform/user_file.h"

namespace {

// An image file holds at most 512 bytes, 0x101 more in the upper-half OTP form.
constexpr size_t kMaxImageFileBytes = 0x101 + kImageBufferSize;

// Reads the whole record; false when it cannot be read (a missing record is an empty one).
bool ReadRecord(const char* path, std::string* text) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return true;
  char chunk[4096];
  size_t count = 0;
  while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) text->append(chunk, count);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  return !failed;
}

BoardIdentity IdentityOf(const CommandOptions& options) {
  BoardIdentity identity;
  const DeviceSettings& settings = options.Settings;
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
    MacAddress mac{};
    for (size_t i = 0; i < kMacAddressBytes; ++i) mac[i] = file_image.At(kMacAddressOffset + i);
    identity.mac_address = MacAddressText(mac);
  }
  if (settings.CurrentSerialNumber) {
    identity.serial_number = *settings.CurrentSerialNumber;
  } else if (file_image.strings[kSerialNumberSlot].present) {
    identity.serial_number = file_image.strings[kSerialNumberSlot].text;
  }
  return identity;
}

std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  char text[32] = "";
  if (const std::tm* utc = std::gmtime(&now))
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", utc);
  return text;
}

}  // namespace

int CheckBoardRecord(const CommandOptions& options, Console& console, BoardIdentity* identity,
                     UserFileLock* lock) {
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
  UserFileLock::Result locked = lock->Acquire(path, false);
  if (locked == UserFileLock::Result::kBusy) {
    console.Printf("The record file %s is in use by another run; waiting for it\n", path);
    locked = lock->Acquire(path, true);
  }
  std::string record;
  if (locked != UserFileLock::Result::kLocked || !ReadRecord(path, &record)) {
    console.Error("Couldn't read the record file %s\n", path);
    return kExitModifyFailed;
  }
  *identity = IdentityOf(options);
  if (identity->mac_address.empty()) return 0;
  const int line = FindProgrammedMacAddress(record, identity->mac_address);
  if (line == 0) return 0;
  console.Error("MAC address %s was programmed already: line %d of the record file %s\n",
                identity->mac_address.c_str(), line, path);
  return kExitModifyFailed;
}

int RecordBoard(const CommandOptions& options, const BoardIdentity& identity,
                const ProgrammedImage& programmed, uint32_t adapter_index, int exit_code,
                Console& console) {
  BoardRecordLine line;
  line.time = UtcNow();
  line.adapter = adapter_index;
  line.chip = options.ChipName;
  line.memory = options.OtpMode != 0 ? "otp" : "eeprom";
  line.mac_address = identity.mac_address;
  line.serial_number = identity.serial_number;
  line.image_length = programmed.length;
  const int32_t crc_length =
      programmed.length < 0 ? 0 : std::min<int32_t>(programmed.length, kImageBufferSize);
  line.crc32 = Crc32(programmed.bytes, static_cast<size_t>(crc_length));
  const OwnedText& file =
      options.BinaryFileName.IsSet() ? options.BinaryFileName : options.IniFileName;
  line.file = file.IsSet() ? file.get() : "";
  line.result = exit_code;
  const char* path = options.RecordFileName.get();
  if (AppendLineFlushed(path, kBoardRecordHeader, FormatBoardRecordLine(line))) return exit_code;
  console.Error("Couldn't write the record file %s\n", path);
  return exit_code != 0 ? exit_code : kExitModifyFailed;
}
