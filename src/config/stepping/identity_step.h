// identity_step.h - stepping the MAC address and the serial number from one board to the next.
#pragma once

#include <cstdint>
#include <string>

#include "config/device_settings.h"
#include "platform/console.h"

constexpr int kMaxIdentityIncrement = 255;

// Steps every value whose increment is nonzero and checks it against its maximum. Returns 1 when
// all were stepped within their limits, 0 otherwise (message printed). The values in |settings|
// are stepped even when 0 is returned.
int StepIdentity(DeviceSettings& settings, Console& console);

enum class StepOutcome {
  kStepped,   // every value has a next one within its range
  kRangeEnd,  // stepped, but past a maximum: the values in hand were the last of their range
  kFailed,    // no next value could be made (overflow, a character that cannot be stepped, no
              // increment at all)
};

// StepIdentity, telling a step that only went past a maximum from one that could not be made.
// Prints the same messages.
StepOutcome StepIdentityOutcome(DeviceSettings& settings, Console& console);

// Adds |step| to the 48-bit address (first octet most significant). Returns 1 when it went past
// FF:FF:FF:FF:FF:FF (and wrapped), else 0; a step above 255 is refused with a message, leaving the
// address unchanged, and also returns 0.
int IncrementMac(uint8_t mac[kMacAddressBytes], int32_t step, Console& console);

// Counts the text up by |step| as an upper-case hexadecimal number of fixed length. Returns 1 on
// overflow, 0 otherwise; a step above 255 is refused with a message and returns 0 unchanged.
// Returns 2 after a message when the last two characters are not hexadecimal digits, or when the
// carry would turn a character into one that is not printable ASCII.
int IncrementSerial(std::string& text, int32_t step, Console& console);
