// section_reports.cpp - the reports shared by the section handlers once a section has been read:
// missing keys, values above their range, and the section's result.
#include "config/ini_section.h"

bool ReportMissingKeys(Console& console, std::initializer_list<RequiredKey> keys) {
  bool reported = false;
  for (const RequiredKey& key : keys) {
    if (key.state == KeyState::kAbsent) {
      console.Error("%s", key.missing_message);
      reported = true;
    }
  }
  return reported;
}

bool ReportMissingOrAbove(IniFile& file, Console& console, std::initializer_list<BoundedKey> keys) {
  bool reported = false;
  for (const BoundedKey& key : keys) {
    if (key.state == KeyState::kAbsent) {
      console.Error("The field %s is missing\n", key.key);
      file.Report(IniFault::kMissingKey, key.key);
      reported = true;
    } else if (key.value > key.max_value) {
      console.Error("%s", key.range_message);
      file.Report(IniFault::kValueAbove, key.key);
      reported = true;
    }
  }
  return reported;
}

int FinishSection(bool reported, bool& section_present) {
  if (reported) return -1;
  section_present = true;
  return 0;
}
