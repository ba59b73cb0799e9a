// rig_table.cpp - laying out the rig's tables.
#include "tools/rig/rig_table.h"

#include <cstdarg>
#include <cstdio>

namespace {

std::string OrDash(const std::string& text) { return text.empty() ? "-" : text; }

std::string Row(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Row(const char* format, ...) {
  char line[256];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(line, sizeof(line), format, arguments);
  va_end(arguments);
  return line;
}

}  // namespace

std::string SlotTime(int64_t milliseconds) {
  return Row("%lld.%lld s", static_cast<long long>(milliseconds / 1000),
             static_cast<long long>(milliseconds % 1000 / 100));
}

std::string LiveTable(const std::vector<SlotState>& slots) {
  std::string text = Row("%-7s %-8s %-12s %-17s %-14s %8s\n", "Adapter", "Chip", "Stage",
                         "MAC address", "Serial number", "Time");
  for (const SlotState& slot : slots) {
    text += Row("%7u %-8s %-12s %-17s %-14s %8s\n", slot.adapter, OrDash(slot.chip).c_str(),
                StageText(slot).c_str(), OrDash(slot.mac_address).c_str(),
                OrDash(slot.serial_number).c_str(),
                slot.started ? SlotTime(slot.duration_ms).c_str() : "-");
  }
  return text;
}

std::string ChangeLine(const SlotState& slot) {
  std::string text = std::string("Adapter ") + std::to_string(slot.adapter);
  if (!slot.chip.empty()) text += " (" + slot.chip + ")";
  text += ": " + StageText(slot);
  if (!slot.mac_address.empty()) text += ", MAC address " + slot.mac_address;
  if (!slot.serial_number.empty()) text += ", serial number " + slot.serial_number;
  if (slot.started) text += ", " + SlotTime(slot.duration_ms);
  if (!slot.started && !slot.why.empty()) text += ": " + slot.why;
  return text + "\n";
}

std::string SummaryTable(const std::vector<SlotState>& slots) {
  std::string text = Row("%-7s %-8s %4s  %-38s %-17s %-14s %8s\n", "Adapter", "Stage", "Exit",
                         "Meaning", "MAC address", "Serial number", "Time");
  for (const SlotState& slot : slots) {
    text += Row("%7u %-8s %4s  %-38s %-17s %-14s %8s\n", slot.adapter, StageText(slot).c_str(),
                slot.started || slot.exit_code != 0 ? std::to_string(slot.exit_code).c_str() : "-",
                SlotMeaning(slot).c_str(), OrDash(slot.mac_address).c_str(),
                OrDash(slot.serial_number).c_str(),
                slot.started ? SlotTime(slot.duration_ms).c_str() : "-");
  }
  return text;
}
