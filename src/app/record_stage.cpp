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
#include "platform/user_file.h"

namespace {

std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  char text[32] = "";
  if (const std::tm* utc = std::gmtime(&now))
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", utc);
  return text;
}

// Names the run that holds an identity, where the record tells more than its place.
std::string OwnerText(const IdentityOwner& owner) {
  if (owner.station.empty()) return owner.where;
  return owner.where + " (station " + owner.station + ", adapter " + std::to_string(owner.adapter) +
         ", " + owner.time + ")";
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

std::unique_ptr<RecordStore> RecordStoreOf(const CommandOptions& options, Console& console) {
  if (!options.RecordFileName.IsSet()) return nullptr;
  RecordStoreSettings settings{.name = options.RecordFileName.get()};
  for (const OwnedText* input : {&options.IniFileName, &options.BinaryFileName}) {
    if (input->IsSet()) settings.input_files.emplace_back(input->get());
  }
  return MakeRecordStore(settings, console);
}

int GuardIdentity(const RecordKnowledge& known, const BoardIdentity& identity, bool serial_counts,
                  Console& console) {
  if (known.mac.state != IdentityState::kFree) {
    return RefuseHeldIdentity("MAC address", identity.mac_address, known.mac, console);
  }
  if (serial_counts && known.serial.state != IdentityState::kFree) {
    return RefuseHeldIdentity("Serial number", identity.serial_number, known.serial, console);
  }
  return 0;
}

int RefuseHeldIdentity(const char* what, const std::string& text, const IdentityOwner& owner,
                       Console& console) {
  const std::string held = OwnerText(owner);
  if (owner.state == IdentityState::kDamaged) {
    console.Error(
        "%s %s is named by %s, which cannot be read: what became of it is unknown, so no board "
        "is given it; correct that line\n",
        what, text.c_str(), owner.where.c_str());
  } else if (owner.state == IdentityState::kProgrammed) {
    console.Error("%s %s was programmed already: %s\n", what, text.c_str(), held.c_str());
  } else {
    console.Error(
        "%s %s was sent to a board already by a run that did not succeed: %s; only that board "
        "may be programmed with it again\n",
        what, text.c_str(), held.c_str());
  }
  return kExitModifyFailed;
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
