// ini_write_back.h - saving the stepped MAC address and serial number into the INI file they came
// from, for the next board, and taking them back when no board got them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/device_settings.h"
#include "platform/console.h"

// Results of UpdateIniFile besides 0.
constexpr int kUpdateFileFailed = 3;

// One value of the file replaced: |old_text| at |offset| becomes |new_text|.
struct IniValueEdit {
  int64_t offset = 0;
  std::string old_text;
  std::string new_text;
};

// The edits that put the CurrentMacAddress (as 17 characters "XX:XX:XX:XX:XX:XX") and the
// CurrentSerialNumber of |settings| at the positions recorded when |text| was loaded, sorted by
// offset. False when a position lies outside |text| or the two overlap.
bool PlanIniWriteBack(const std::string& text, const DeviceSettings& settings,
                      std::vector<IniValueEdit>* edits);

// |text| with |edits| (sorted, not overlapping) applied. False when an edit's old text does not
// stand at its offset: the file is not the one the edits were planned on.
bool ApplyIniEdits(const std::string& text, const std::vector<IniValueEdit>& edits,
                   std::string* result);

// The edits that turn the result of ApplyIniEdits(|edits|) back into the text they were planned on.
std::vector<IniValueEdit> InverseIniEdits(const std::vector<IniValueEdit>& edits);

// Rewrites the two values and nothing else: every other byte (keys, comments, line ends) stays.
// The whole file is replaced in one durable step, so a run that dies at any moment leaves either
// the old pair of values or the new pair, never one of each. Updates the recorded positions and
// lengths, and hands the edits made to |*applied| when given. Returns 0, or kUpdateFileFailed
// after a message.
int UpdateIniFile(const char* file_name, DeviceSettings& settings, Console& console,
                  std::vector<IniValueEdit>* applied = nullptr);

// Undoes |applied| when the file still holds exactly what they wrote, in the same durable way.
// False when it does not (another run has stepped it since) or it cannot be rewritten.
bool RestoreIniFile(const char* file_name, const std::vector<IniValueEdit>& applied);
