// ini_write_back.cpp - rewriting the two stepped values of the INI file: a plan of the edits on
// the text in memory, then one replace of the whole file.
#include "config/stepping/ini_write_back.h"

#include <algorithm>

#include "config/ini_loader.h"
#include "platform/user_file.h"

namespace {

bool AddEdit(const std::string& text, int64_t offset, int64_t length, std::string value,
             std::vector<IniValueEdit>* edits) {
  if (offset < 0 || length < 0 || offset + length > static_cast<int64_t>(text.size())) return false;
  edits->push_back(
      {.offset = offset,
       .old_text = text.substr(static_cast<size_t>(offset), static_cast<size_t>(length)),
       .new_text = std::move(value)});
  return true;
}

bool WriteWhole(const char* file_name, const std::string& text) {
  return ReplaceUserFile(file_name, text.data(), text.size()) == ReplaceResult::kReplaced;
}

}  // namespace

bool PlanIniWriteBack(const std::string& text, const DeviceSettings& settings,
                      std::vector<IniValueEdit>* edits) {
  edits->clear();
  // A file with no CurrentMacAddress (an image's identity may be a serial number alone) has no
  // place for one.
  if (settings.CurrentMacAddressPresent != 0 &&
      !AddEdit(text, settings.CurrentMacAddressOffset, settings.CurrentMacAddressLength,
               MacAddressText(settings.CurrentMacAddress), edits)) {
    return false;
  }
  if (settings.CurrentSerialNumber &&
      !AddEdit(text, settings.CurrentSerialNumberOffset, settings.CurrentSerialNumberLength,
               *settings.CurrentSerialNumber, edits)) {
    return false;
  }
  std::sort(edits->begin(), edits->end(),
            [](const IniValueEdit& a, const IniValueEdit& b) { return a.offset < b.offset; });
  for (size_t i = 1; i < edits->size(); ++i) {
    const IniValueEdit& before = (*edits)[i - 1];
    if (before.offset + static_cast<int64_t>(before.old_text.size()) > (*edits)[i].offset) {
      return false;
    }
  }
  return true;
}

bool ApplyIniEdits(const std::string& text, const std::vector<IniValueEdit>& edits,
                   std::string* result) {
  std::string out;
  size_t from = 0;
  for (const IniValueEdit& edit : edits) {
    const auto offset = static_cast<size_t>(edit.offset);
    if (edit.offset < 0 || offset < from ||
        text.compare(offset, edit.old_text.size(), edit.old_text) != 0) {
      return false;
    }
    out.append(text, from, offset - from);
    out += edit.new_text;
    from = offset + edit.old_text.size();
  }
  out.append(text, from, std::string::npos);
  *result = std::move(out);
  return true;
}

std::vector<IniValueEdit> InverseIniEdits(const std::vector<IniValueEdit>& edits) {
  std::vector<IniValueEdit> inverse;
  int64_t moved = 0;
  for (const IniValueEdit& edit : edits) {
    inverse.push_back(
        {.offset = edit.offset + moved, .old_text = edit.new_text, .new_text = edit.old_text});
    moved +=
        static_cast<int64_t>(edit.new_text.size()) - static_cast<int64_t>(edit.old_text.size());
  }
  return inverse;
}

int UpdateIniFile(const char* file_name, DeviceSettings& settings, Console& console,
                  std::vector<IniValueEdit>* applied) {
  std::string text;
  if (!ReadWholeUserFile(file_name, kMaxIniFileBytes, &text)) {
    console.Error("The file %s is not found\n", file_name);
    return kUpdateFileFailed;
  }
  std::vector<IniValueEdit> edits;
  std::string stepped;
  if (!PlanIniWriteBack(text, settings, &edits) || !ApplyIniEdits(text, edits, &stepped)) {
    console.Error("The file %s no longer holds the values read from it\n", file_name);
    return kUpdateFileFailed;
  }
  if (!WriteWhole(file_name, stepped)) {
    console.Error("The file %s is not found\n", file_name);
    return kUpdateFileFailed;
  }
  // Each value now stands where the values before it have moved it.
  const auto moved_before = [&edits](int64_t offset) {
    int64_t moved = 0;
    for (const IniValueEdit& edit : edits) {
      if (edit.offset < offset) {
        moved += static_cast<int64_t>(edit.new_text.size() - edit.old_text.size());
      }
    }
    return static_cast<int32_t>(moved);
  };
  if (settings.CurrentMacAddressPresent != 0) {
    settings.CurrentMacAddressOffset += moved_before(settings.CurrentMacAddressOffset);
    settings.CurrentMacAddressLength = kMacAddressTextLength;
  }
  if (settings.CurrentSerialNumber) {
    settings.CurrentSerialNumberOffset += moved_before(settings.CurrentSerialNumberOffset);
    settings.CurrentSerialNumberLength = static_cast<int32_t>(settings.CurrentSerialNumber->size());
  }
  if (applied != nullptr) *applied = std::move(edits);
  return 0;
}

bool RestoreIniFile(const char* file_name, const std::vector<IniValueEdit>& applied) {
  std::string text;
  std::string restored;
  return ReadWholeUserFile(file_name, kMaxIniFileBytes, &text) &&
         ApplyIniEdits(text, InverseIniEdits(applied), &restored) &&
         WriteWhole(file_name, restored);
}
