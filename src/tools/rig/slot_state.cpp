// slot_state.cpp - reading a run's stage from its output and its outcome from its document.
#include "tools/rig/slot_state.h"

#include <nlohmann/json.hpp>

#include "common/exit_codes.h"

namespace {

// Which line of the utility's output shows that a run reached a stage.
struct StageMark {
  const char* text;
  SlotStage stage;
};

constexpr StageMark kStageMarks[] = {
    {"Please confirm", SlotStage::kWriting},
    {"OTP will be written", SlotStage::kWriting},
    {"was programmed with", SlotStage::kVerifying},
    {"Updated ini file", SlotStage::kStepping},
};

// The last "NN%" of a progress line, or -1.
int Percentage(const std::string& line) {
  const size_t percent = line.rfind('%');
  if (percent == std::string::npos) return -1;
  size_t start = percent;
  while (start > 0 && line[start - 1] >= '0' && line[start - 1] <= '9') --start;
  if (start == percent || percent - start > 3) return -1;
  return std::stoi(line.substr(start, percent - start));
}

std::string TextOrEmpty(const nlohmann::json& value) {
  return value.is_string() ? value.get<std::string>() : std::string();
}

}  // namespace

std::string StageText(const SlotState& slot) {
  switch (slot.stage) {
    case SlotStage::kWaiting:
      return "waiting";
    case SlotStage::kChecking:
      return "checking";
    case SlotStage::kWriting:
      return slot.progress >= 0 ? std::string("writing ") + std::to_string(slot.progress) + "%"
                                : "writing";
    case SlotStage::kVerifying:
      return "verifying";
    case SlotStage::kStepping:
      return "stepping";
    case SlotStage::kDone:
      return "done";
    case SlotStage::kFailed:
      return "failed";
    case SlotStage::kRefused:
      return "refused";
    case SlotStage::kKilled:
      return "killed";
  }
  return "";
}

bool LogFollower::Feed(const std::string& text, SlotState* slot) {
  bool changed = false;
  for (const char c : text) {
    if (c == '\n' || c == '\r') {
      changed = Line(partial_, c == '\r', slot) || changed;
      partial_.clear();
    } else if (partial_.size() < 4096) {
      partial_ += c;
    }
  }
  return changed;
}

bool LogFollower::Line(const std::string& line, bool progress, SlotState* slot) {
  if (slot->ended) return false;
  const int percent = progress ? Percentage(line) : -1;
  if (percent >= 0 && slot->stage <= SlotStage::kWriting) {
    const bool changed = slot->stage != SlotStage::kWriting || slot->progress != percent;
    slot->stage = SlotStage::kWriting;
    slot->progress = percent;
    return changed;
  }
  for (const StageMark& mark : kStageMarks) {
    if (line.find(mark.text) != std::string::npos && slot->stage < mark.stage) {
      slot->stage = mark.stage;
      return true;
    }
  }
  return false;
}

void SettleSlot(int exit_code, int signal, const std::string& document, SlotState* slot) {
  slot->ended = true;
  slot->exit_code = exit_code;
  slot->signal = signal;
  bool touched = slot->stage >= SlotStage::kWriting;
  const nlohmann::json results = nlohmann::json::parse(document, nullptr, false);
  if (results.is_object()) {
    if (results.contains("chip") && results["chip"].is_object()) {
      const std::string chip = TextOrEmpty(results["chip"]["name"]);
      if (!chip.empty()) slot->chip = chip;
    }
    for (const char* memory : {"eeprom", "otp"}) {
      if (!results.contains(memory) || !results[memory].is_object()) continue;
      const nlohmann::json& write = results[memory];
      slot->mac_address = TextOrEmpty(write.value("mac_address", nlohmann::json()));
      slot->serial_number = TextOrEmpty(write.value("serial_number", nlohmann::json()));
      touched = write.value("written", false) == true;
    }
  }
  if (signal != 0) {
    slot->stage = SlotStage::kKilled;
  } else if (exit_code == 0) {
    slot->stage = SlotStage::kDone;
  } else {
    slot->stage = touched ? SlotStage::kFailed : SlotStage::kRefused;
  }
}

std::string SlotMeaning(const SlotState& slot) {
  if (!slot.started) return slot.why;
  if (slot.signal != 0) return std::string("killed by signal ") + std::to_string(slot.signal);
  // The utility's -1 reaches a POSIX parent as 255.
  return ExitCodeMeaning(slot.exit_code == 255 ? kExitNoOperation : slot.exit_code);
}
