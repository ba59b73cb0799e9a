// identity_patch.cpp - patching the MAC address and the serial number into an image read from a
// file. The image's own tables locate the serial descriptor and the optional blocks; nothing they
// say may lead outside the image.
#include "config/stepping/identity_patch.h"

#include <algorithm>
#include <cstring>

#include "common/image_buffer.h"
#include "common/little_endian.h"
#include "config/image/string_area.h"
#include "format/image_layout.h"
#include "format/otp_form.h"

namespace {

// Words are stored biased in an upper-half OTP image; the sum wrapped within the byte.
int StoredWord(uint8_t stored, uint8_t bias) { return static_cast<uint8_t>(stored - bias); }

// A descriptor at |word| with |count| characters must lie between the head and |limit|: a table
// pointing into the head would have the patch overwrite the MAC address and the settings.
bool InStringArea(int word, int count, int limit, Console& console) {
  if (2 * word >= kStringAreaStart && 2 * (word + 1 + count) <= limit) return true;
  console.Error("The string table of the image points outside its string area (bytes %d to %d)\n",
                kStringAreaStart, limit - 1);
  return false;
}

// The image as it was before a rebuild: its strings, where they end, and what follows them.
struct OldLayout {
  char text[kStringCount][kMaxDescriptorChars + 1];
  ImageStrings strings;
  int strings_end = kStringAreaStart;
  int block_start[kBlockCount] = {};
  int tail_end = kStringAreaStart;
  int significant_end = kStringAreaStart;  // end of the last block or nonzero byte after strings
};

bool ReadStrings(const uint8_t* image, int limit, uint8_t bias, OldLayout& old, Console& console) {
  for (int slot = 0; slot < kStringCount; ++slot) {
    const int pair = StringPairOffset(slot);
    const int length = image[pair];
    if (length == 0) continue;
    const int count = std::max(length / 2 - 1, 0);
    const int word = StoredWord(image[pair + 1], bias);
    if (!InStringArea(word, count, limit, console)) return false;
    for (int j = 0; j < count; ++j)
      old.text[slot][j] = static_cast<char>(image[2 * (word + 1 + j)]);
    old.strings.text[slot] = std::string_view(old.text[slot], static_cast<size_t>(count));
    old.strings.present[slot] = true;
    old.strings_end = std::max(old.strings_end, 2 * word + 2 * ((length + 1) / 2));
  }
  return true;
}

bool ReadBlocks(const uint8_t* image, int limit, uint8_t bias, int32_t image_length, OldLayout& old,
                Console& console) {
  old.tail_end = std::max(old.strings_end, std::min(image_length, limit));
  old.significant_end = old.strings_end;
  for (int block = 0; block < kBlockCount; ++block) {
    const int pair = BlockPairOffset(block);
    const int size = image[pair];
    if (size == 0) continue;
    const int start = 2 * StoredWord(image[pair + 1], bias);
    if (start < old.strings_end || start + size > limit) {
      console.Error("The block table of the image points outside the area after its strings\n");
      return false;
    }
    old.block_start[block] = start;
    old.tail_end = std::max(old.tail_end, start + size);
    old.significant_end = std::max(old.significant_end, start + size);
  }
  for (int i = old.tail_end; i > old.significant_end; --i) {
    if (image[i - 1] != 0) {
      old.significant_end = i;
      break;
    }
  }
  return true;
}

// |held| bytes of the image are its own: what its tables say must lie within them. The new
// layout may take up to |limit|.
int RebuildStringArea(uint8_t* image, int32_t* image_length, const std::string& serial, int held,
                      int limit, int32_t eeprom_size, Console& console) {
  const uint8_t bias = StoredOffsetBias(image);
  OldLayout old;
  if (!ReadStrings(image, held, bias, old, console)) return kPatchDoesNotFit;
  if (!ReadBlocks(image, held, bias, *image_length, old, console)) return kPatchDoesNotFit;
  old.strings.text[kSerialNumberSlot] = serial;
  old.strings.present[kSerialNumberSlot] = true;

  // What followed the strings moves as one piece, gaps and padding included.
  uint8_t tail[kMaxImageBytes];
  const int tail_size = old.tail_end - old.strings_end;
  std::memcpy(tail, image + old.strings_end, static_cast<size_t>(tail_size));
  std::memset(image + kStringAreaStart, 0, static_cast<size_t>(limit - kStringAreaStart));

  int32_t strings_end = 0;
  if (BuildStringArea(old.strings, eeprom_size, bias, image, kStringAreaStart, &strings_end,
                      console) != 0) {
    return kPatchDoesNotFit;
  }
  const int shift = strings_end - old.strings_end;
  const int needed = old.significant_end + shift;
  if (needed > limit) {
    console.Error(
        "The optional blocks of the image do not fit behind the new strings (%d bytes, "
        "the EEPROM holds %d)\n",
        needed, limit);
    return kPatchDoesNotFit;
  }
  std::memcpy(image + strings_end, tail,
              static_cast<size_t>(std::min(tail_size, limit - strings_end)));
  for (int block = 0; block < kBlockCount; ++block) {
    const int pair = BlockPairOffset(block);
    if (image[pair] == 0) continue;
    image[pair + 1] = static_cast<uint8_t>(bias + (old.block_start[block] + shift) / 2);
  }
  // Trailing zero padding is what gives way when the strings grow.
  const int32_t length = *image_length >= old.strings_end
                             ? std::min<int32_t>(*image_length + shift, limit)
                             : strings_end;
  *image_length = std::max<int32_t>(length, needed);
  return 0;
}

}  // namespace

int PatchImageIdentity(uint8_t* image, int32_t* image_length, const MacAddress* mac,
                       const std::optional<std::string>& serial, int32_t eeprom_size,
                       Console& console) {
  const int limit = std::clamp<int32_t>(eeprom_size, kStringAreaStart, kMaxImageBytes);
  // Bytes past the image's end are never programmed (an OTP takes the image's length), so an
  // identity patched there would not reach the board.
  const int held = std::clamp<int32_t>(*image_length, 0, limit);
  if (mac != nullptr && held < static_cast<int>(kMacAddressOffset + kMacAddressBytes)) {
    console.Error("The image of %d bytes is too short to hold a MAC address\n", held);
    return kPatchDoesNotFit;
  }
  if (mac != nullptr) std::memcpy(image + kMacAddressOffset, mac->data(), kMacAddressBytes);
  if (!serial) {
    image[kSerialPairOffset] = 0;
    image[kSerialPairOffset + 1] = 0;
    return 0;
  }

  const int n = static_cast<int>(serial->size());
  if (image[kSerialPairOffset] / 2 - 1 != n) {
    return RebuildStringArea(image, image_length, *serial, held, limit, eeprom_size, console);
  }
  const int word = StoredWord(image[kSerialPairOffset + 1], StoredOffsetBias(image));
  if (!InStringArea(word, n, held, console)) return kPatchDoesNotFit;
  const int first = 2 * (word + 1);
  for (int j = 0; j < n; ++j) PutLe16(image, first + 2 * j, StringCharacterUnit((*serial)[j]));
  return 0;
}
