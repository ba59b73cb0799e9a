// identity_step.cpp - the per-board step of the MAC address and the serial number, with their
// overflow and maximum checks.
#include "config/stepping/identity_step.h"

#include "common/hex_digit.h"

namespace {

constexpr char kUpperHexDigits[] = "0123456789ABCDEF";
constexpr char kFirstPrintable = 0x20;
constexpr char kLastPrintable = 0x7E;

bool StepInRange(int32_t step) { return step >= 0 && step <= kMaxIdentityIncrement; }

// The carry into the characters before the last two, from |last| toward the first: '9' goes to
// 'A', 'F' to '0' with a further carry, any other character to the next character code (which
// carries on only if that is '0'). Returns 1 when the first character went from 'F' to '0', and
// 2 after a message when the next character code would not be printable ASCII: the INI file
// must never receive a control character or a byte that is not ASCII.
int CarryInto(std::string& text, size_t last, Console& console) {
  for (size_t i = last + 1; i-- > 0;) {
    char& c = text[i];
    const bool was_f = c == 'F';
    if (c == '9') {
      c = 'A';
    } else if (was_f) {
      c = '0';
    } else if (c < kFirstPrintable - 1 || c >= kLastPrintable) {
      console.Error("Serial number %s cannot be stepped: character %d would not be printable\n",
                    text.c_str(), static_cast<int>(i + 1));
      return 2;
    } else {
      ++c;
    }
    if (c != '0') return 0;
    if (i == 0) return was_f ? 1 : 0;
  }
  return 0;
}

}  // namespace

int IncrementMac(uint8_t mac[kMacAddressBytes], int32_t step, Console& console) {
  if (!StepInRange(step)) {
    console.Error("Mac address increment cannot exceed %d\n", kMaxIdentityIncrement);
    return 0;
  }
  const int sum = mac[5] + step;
  mac[5] = static_cast<uint8_t>(sum);
  if (sum <= 0xFF) return 0;
  for (int i = 4; i >= 0; --i) {
    if (++mac[i] != 0) return 0;
  }
  return 1;
}

int IncrementSerial(std::string& text, int32_t step, Console& console) {
  if (!StepInRange(step)) {
    console.Error("Serial number increment cannot exceed %d\n", kMaxIdentityIncrement);
    return 0;
  }
  const size_t n = text.size();
  if (n == 0) return 0;
  if (n == 1) {
    const int v = HexDigitValue(text[0]);
    if (v < 0) {
      console.Error("Serial number %s is not a hexadecimal number\n", text.c_str());
      return 2;
    }
    text[0] = kUpperHexDigits[(v + step) & 0xF];
    return v + step > 0xF ? 1 : 0;
  }
  const int high = HexDigitValue(text[n - 2]);
  const int low = HexDigitValue(text[n - 1]);
  if (high < 0 || low < 0) {
    console.Error("Serial number %s is not a hexadecimal number\n", text.c_str());
    return 2;
  }
  const int v = high << 4 | low;
  const int w = (v + step) & 0xFF;
  text[n - 2] = kUpperHexDigits[w >> 4];
  text[n - 1] = kUpperHexDigits[w & 0xF];
  const bool carry = v + step > 0xFF;
  if (n == 2 || !carry) return carry ? 1 : 0;
  return CarryInto(text, n - 3, console);
}

StepOutcome StepIdentityOutcome(DeviceSettings& settings, Console& console) {
  if (settings.MacAddressIncrement == 0 && settings.SerialNumberIncrement == 0) {
    return StepOutcome::kFailed;
  }
  bool within_limits = true;
  if (settings.MacAddressIncrement != 0) {
    if (!StepInRange(settings.MacAddressIncrement)) {
      // Refused with its message; the board after this one would get the same address.
      IncrementMac(settings.CurrentMacAddress.data(), settings.MacAddressIncrement, console);
      return StepOutcome::kFailed;
    }
    if (IncrementMac(settings.CurrentMacAddress.data(), settings.MacAddressIncrement, console)) {
      console.Print("MAC address overflow\n");
      return StepOutcome::kFailed;
    }
    if (settings.CurrentMacAddress > settings.MaximumMacAddress) {
      console.Print("Reach maximum MAC address\n");
      within_limits = false;
    }
  }
  if (settings.SerialNumberIncrement != 0 && settings.CurrentSerialNumber) {
    std::string& serial = *settings.CurrentSerialNumber;
    if (!StepInRange(settings.SerialNumberIncrement)) {
      IncrementSerial(serial, settings.SerialNumberIncrement, console);
      return StepOutcome::kFailed;
    }
    const int result = IncrementSerial(serial, settings.SerialNumberIncrement, console);
    if (result == 2) return StepOutcome::kFailed;
    if (result == 1) {
      console.Print("Serial number overflow\n");
      return StepOutcome::kFailed;
    }
    if (settings.MaximumSerialNumber && serial > *settings.MaximumSerialNumber) {
      console.Print("Reach maximum serial number\n");
      return StepOutcome::kRangeEnd;
    }
  }
  return within_limits ? StepOutcome::kStepped : StepOutcome::kRangeEnd;
}

int StepIdentity(DeviceSettings& settings, Console& console) {
  return StepIdentityOutcome(settings, console) == StepOutcome::kStepped ? 1 : 0;
}
