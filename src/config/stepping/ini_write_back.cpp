// ini_write_back.cpp - rewriting the two stepped values of the INI file and nothing else: every
// other byte (keys, comments, line ends) stays as it was.
#include "config/stepping/ini_write_back.h"

#include "platform/user_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kMacTextLength = 17;

// One value of the file to replace: the old text at |offset| of |old_length| characters.
struct Edit {
  long offset;
  long old_length;
  const char* text;
  long length;
};

bool InsideFile(const Edit& edit, long size) {
  return edit.offset >= 0 && edit.old_length >= 0 && edit.offset + edit.old_length <= size;
}

bool WriteAt(std::FILE* file, const Edit& edit) {
  return std::fseek(file, edit.offset, SEEK_SET) == 0 &&
         std::fwrite(edit.text, 1, static_cast<size_t>(edit.length), file) ==
             static_cast<size_t>(edit.length);
}

// The file's bytes with |edits| (sorted, not overlapping) applied; null when memory runs out.
char* Splice(const char* old_bytes, long old_size, const Edit* edits, int count, long* new_size) {
  long size = old_size;
  for (int i = 0; i < count; ++i) size += edits[i].length - edits[i].old_length;
  char* bytes = static_cast<char*>(std::malloc(static_cast<size_t>(size) + 1));
  if (bytes == nullptr) return nullptr;
  long from = 0;
  long to = 0;
  for (int i = 0; i < count; ++i) {
    std::memcpy(bytes + to, old_bytes + from, static_cast<size_t>(edits[i].offset - from));
    to += edits[i].offset - from;
    std::memcpy(bytes + to, edits[i].text, static_cast<size_t>(edits[i].length));
    to += edits[i].length;
    from = edits[i].offset + edits[i].old_length;
  }
  std::memcpy(bytes + to, old_bytes + from, static_cast<size_t>(old_size - from));
  *new_size = size;
  return bytes;
}

}  // namespace

int UpdateIniFile(const char* file_name, DeviceSettings& settings, Console& console) {
  char mac_text[kMacTextLength + 1];
  const MacAddress& mac = settings.CurrentMacAddress;
  std::snprintf(mac_text, sizeof mac_text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2],
                mac[3], mac[4], mac[5]);
  Edit edits[2] = {};
  int count = 0;
  // A file with no CurrentMacAddress (an image's identity may be a serial number alone) has no
  // place for one.
  const bool has_mac = settings.CurrentMacAddressPresent != 0;
  if (has_mac) {
    edits[count++] = {.offset = settings.CurrentMacAddressOffset,
                      .old_length = settings.CurrentMacAddressLength,
                      .text = mac_text,
                      .length = kMacTextLength};
  }
  const bool has_serial = settings.CurrentSerialNumber.has_value();
  if (has_serial) {
    edits[count++] = {.offset = settings.CurrentSerialNumberOffset,
                      .old_length = settings.CurrentSerialNumberLength,
                      .text = settings.CurrentSerialNumber->c_str(),
                      .length = static_cast<long>(settings.CurrentSerialNumber->size())};
  }

  std::FILE* file = std::fopen(file_name, "r+b");
  if (file == nullptr) {
    console.Error("The file %s is not found\n", file_name);
    return kUpdateFileFailed;
  }
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  bool usable = size >= 0;
  for (int i = 0; i < count; ++i) usable = usable && InsideFile(edits[i], size);
  if (count == 2 && edits[1].offset < edits[0].offset) std::swap(edits[0], edits[1]);
  if (count == 2 && edits[0].offset + edits[0].old_length > edits[1].offset) usable = false;
  if (!usable) {
    std::fclose(file);
    console.Error("The file %s no longer holds the values read from it\n", file_name);
    return kUpdateFileFailed;
  }

  bool same_lengths = true;
  for (int i = 0; i < count; ++i)
    same_lengths = same_lengths && edits[i].length == edits[i].old_length;
  if (same_lengths) {
    bool written = true;
    for (int i = 0; i < count; ++i) written = written && WriteAt(file, edits[i]);
    if (std::fclose(file) != 0 || !written) {
      console.Error("The file %s is not found\n", file_name);
      return kUpdateFileFailed;
    }
    return 0;
  }

  char* old_bytes = static_cast<char*>(std::malloc(static_cast<size_t>(size) + 1));
  const bool read =
      old_bytes != nullptr && std::fseek(file, 0, SEEK_SET) == 0 &&
      std::fread(old_bytes, 1, static_cast<size_t>(size), file) == static_cast<size_t>(size);
  std::fclose(file);
  if (old_bytes == nullptr) {
    console.Error("No enough memory\n");
    return kUpdateOutOfMemory;
  }
  long new_size = 0;
  char* new_bytes = read ? Splice(old_bytes, size, edits, count, &new_size) : nullptr;
  std::free(old_bytes);
  if (!read) {
    console.Error("The file %s is not found\n", file_name);
    return kUpdateFileFailed;
  }
  if (new_bytes == nullptr) {
    console.Error("No enough memory\n");
    return kUpdateOutOfMemory;
  }
  const ReplaceResult replaced =
      ReplaceUserFile(file_name, new_bytes, static_cast<size_t>(new_size));
  std::free(new_bytes);
  if (replaced != ReplaceResult::kReplaced) {
    console.Error("The file %s is not found\n", file_name);
    return kUpdateFileFailed;
  }

  // The value later in the file moved by the change in length of the earlier one.
  const auto moved = static_cast<int32_t>(edits[0].length - edits[0].old_length);
  if (has_mac && has_serial) {
    if (settings.CurrentMacAddressOffset < settings.CurrentSerialNumberOffset) {
      settings.CurrentSerialNumberOffset += moved;
    } else {
      settings.CurrentMacAddressOffset += moved;
    }
  }
  if (has_serial) {
    settings.CurrentSerialNumberLength = static_cast<int32_t>(settings.CurrentSerialNumber->size());
  }
  if (has_mac) settings.CurrentMacAddressLength = kMacTextLength;
  return 0;
}
